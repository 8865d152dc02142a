// The design of the main window, Form1, as data: caption, every control with its kind,
// container, text, twips rectangle, initial state and tab index, and the design-time
// settings of the two file dialogs. Both editions build their window from this one source.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "app/version.h"

namespace foliomix::design {

// 1/1440 inch. At 96 dpi, 15 twips make one pixel; form_geometry.h converts them to pixels.
inline constexpr int kTwipsPerInch = 1440;

enum class ControlId : std::uint8_t { Frame1, list, cmdAdd, cmdUp, cmdDown, cmdMerge, sb };

enum class ControlKind : std::uint8_t {
    Frame,       // a group box with a caption; takes no focus
    ListBox,     // single selection, unsorted, one column
    PushButton,  //
    StatusBar,   // simple-text mode, docked at the bottom edge
};

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

struct ControlDesign {
    ControlId id;
    std::string_view name;
    ControlKind kind;
    // Controls inside Frame1 are placed relative to the frame's outer top-left corner, all
    // others relative to the top-left corner of the window's client area.
    std::optional<ControlId> container;
    std::u16string_view text;
    TwipsRect rect;
    bool enabledAtStart;
    int tabIndex;
    // The one button that Enter activates when the focus is on a control that does not use
    // Enter itself.
    bool defaultButton;
};

struct FormDesign {
    std::string_view name;
    std::u16string_view caption;
    int clientWidthTwips;
    int clientHeightTwips;
};

inline constexpr FormDesign kForm1{
    .name = "Form1",
    // The version as the project writes it (app/version.h, generated from CMakeLists.txt).
    .caption = u"Foliomix " FOLIOMIX_VERSION_TEXT,
    .clientWidthTwips = 6690,
    .clientHeightTwips = 4800,
};

// In tab order, tab index 0 first.
inline constexpr std::array<ControlDesign, 7> kControls{{
    {ControlId::Frame1,
     "Frame1",
     ControlKind::Frame,
     std::nullopt,
     u"选择要合并的ppt文件",
     {120, 120, 6375, 3255},
     true,
     0,
     false},
    {ControlId::list,
     "list",
     ControlKind::ListBox,
     ControlId::Frame1,
     u"",
     {360, 480, 4455, 2400},
     true,
     1,
     false},
    {ControlId::cmdAdd,
     "cmdAdd",
     ControlKind::PushButton,
     ControlId::Frame1,
     u"添加",
     {5040, 600, 1095, 375},
     true,
     2,
     false},
    {ControlId::cmdUp,
     "cmdUp",
     ControlKind::PushButton,
     ControlId::Frame1,
     u"上移",
     {5040, 1440, 1095, 375},
     false,
     3,
     false},
    {ControlId::cmdDown,
     "cmdDown",
     ControlKind::PushButton,
     ControlId::Frame1,
     u"下移",
     {5040, 2280, 1095, 375},
     false,
     4,
     false},
    {ControlId::cmdMerge,
     "cmdMerge",
     ControlKind::PushButton,
     std::nullopt,
     u"开始合并",
     {1200, 3720, 1575, 615},
     false,
     5,
     true},
    {ControlId::sb,
     "sb",
     ControlKind::StatusBar,
     std::nullopt,
     u"就绪",
     {0, 4545, 6690, 255},
     true,
     6,
     false},
}};

constexpr const ControlDesign& Control(ControlId id) {
    for (const auto& control : kControls) {
        if (control.id == id) {
            return control;
        }
    }
    // Every ControlId has an entry; reaching here is a build error in a constant evaluation.
    throw "unknown control";
}

// The rectangle of a control relative to the window's client area, in twips.
constexpr TwipsRect ClientRect(const ControlDesign& control) {
    TwipsRect rect = control.rect;
    if (control.container) {
        const TwipsRect& outer = Control(*control.container).rect;
        rect.left += outer.left;
        rect.top += outer.top;
    }
    return rect;
}

// The text the status bar shows at start.
inline constexpr std::u16string_view kReadyText = Control(ControlId::sb).text;

struct FileDialogDesign {
    std::string_view name;
    // Pairs of description and pattern separated by '|'.
    std::u16string_view filter;
    std::u16string_view defaultExt;  // without the dot; empty for none
    std::u16string_view fileName;    // proposed in the name field at first
    std::u16string_view initDir;     // empty: the process's current folder
    std::uint32_t flags;             // as designed; the merge list sets the open dialog's own
    bool cancelError;
    int maxFileSize;  // characters of the result buffer as designed
};

inline constexpr FileDialogDesign kOfd{
    .name = "ofd",
    .filter = u"*.ppt|*.ppt",
    .defaultExt = u"",
    .fileName = u"",
    .initDir = u"c:",
    .flags = 0,
    .cancelError = false,
    .maxFileSize = 260,
};

inline constexpr FileDialogDesign kSfd{
    .name = "sfd",
    .filter = u"*.ppt|*.ppt",
    .defaultExt = u"ppt",
    .fileName = u"合并结果.ppt",
    .initDir = u"",
    .flags = 0,
    .cancelError = false,
    .maxFileSize = 260,
};

}  // namespace foliomix::design

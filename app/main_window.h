// The operations of the main window that the merge list and the merge run use. Each edition
// implements them once on its toolkit; the unit tests implement them as a recording fake.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/form_design.h"

namespace foliomix {

enum class DialogOutcome : std::uint8_t { Confirmed, Cancelled };

class MainWindow {
  public:
    virtual ~MainWindow() = default;

    // list: rows numbered from 0; the selection index -1 means no row is selected.
    // AddItem appends a row and leaves the selection alone. SetList replaces the text of a row
    // in place and keeps the selection on its index. No operation writes the selection.
    virtual void AddItem(std::u16string_view text) = 0;
    [[nodiscard]] virtual std::int16_t ListCount() const = 0;
    [[nodiscard]] virtual std::int16_t ListIndex() const = 0;
    [[nodiscard]] virtual std::u16string List(std::int16_t index) const = 0;
    virtual void SetList(std::int16_t index, std::u16string_view text) = 0;

    // cmdAdd, cmdUp, cmdDown, cmdMerge: false greys a button out and stops its clicks.
    virtual void SetEnabled(design::ControlId button, bool enabled) = 0;

    // sb: replaces the whole status text; it repaints at the next ProcessPendingEvents.
    virtual void SetSimpleText(std::u16string_view text) = 0;

    // ofd: the option bits for its next showing, the modal showing, and its result. A
    // confirmed result is one full path for one file, or the folder followed by NUL + name for
    // each of several files. A cancel leaves the result as it was.
    virtual void SetOpenFlags(std::uint32_t flags) = 0;
    virtual DialogOutcome ShowOpen() = 0;
    [[nodiscard]] virtual std::u16string OpenFileName() const = 0;

    // sfd: the modal showing with its design-time settings, and the confirmed full path (the
    // default extension appended when the user typed none). A cancel leaves it unchanged.
    virtual DialogOutcome ShowSave() = 0;
    [[nodiscard]] virtual std::u16string SaveFileName() const = 0;

    // A modal message box owned by the window: the text, the title, one OK button, no icon.
    virtual void ShowMessage(std::u16string_view text, std::u16string_view title) = 0;
    // The platform's standard beep.
    virtual void Beep() = 0;
    // A window whose close requests wait in its queue while the engine works may honour them
    // in ShowMessage and Beep before it announces anything: once closed, both do nothing.
    // Lets the window repaint and handle queued input, then returns. The user may close the
    // window in here.
    virtual void ProcessPendingEvents() = 0;
    // False once the user has closed the window; nothing else may be called on it then.
    [[nodiscard]] virtual bool IsOpen() const = 0;
};

}  // namespace foliomix

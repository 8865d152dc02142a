// A MainWindow that keeps its rows and texts in memory and records every call, in order, into
// a log it may share with a fake engine.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "tests/unit/call_log.h"

namespace foliomix::testing {

class FakeWindow : public MainWindow {
  public:
    explicit FakeWindow(CallLog& log) : log_(log) {}

    // What the dialogs answer next; each showing takes the next answer from the front.
    struct OpenAnswer {
        DialogOutcome outcome;
        std::u16string fileName;  // the dialog's result on confirm
    };
    std::vector<OpenAnswer> openAnswers;
    struct SaveAnswer {
        DialogOutcome outcome;
        std::u16string fileName;
    };
    std::vector<SaveAnswer> saveAnswers;

    // Called inside ProcessPendingEvents, with the number of the call (1 first): lets a test
    // act as the user at an event point, closing the window for instance.
    std::function<void(int)> onProcessEvents;

    // Calls named as in the log without arguments ("SimpleText", "List", ...) that throw
    // std::runtime_error, as a window out of memory would.
    std::set<std::string> throwing;

    std::vector<std::u16string> rows;
    std::int16_t selection = -1;
    std::u16string statusText = u"就绪";
    std::uint32_t openFlags = 0;
    std::u16string openFileName;
    std::u16string saveFileName = u"合并结果.ppt";
    bool enabled[4] = {true, false, false, false};  // cmdAdd, cmdUp, cmdDown, cmdMerge
    bool open = true;
    mutable int touchedAfterClose = 0;  // calls after the window was closed

    [[nodiscard]] bool Enabled(design::ControlId button) const;

    void AddItem(std::u16string_view text) override;
    [[nodiscard]] std::int16_t ListCount() const override;
    [[nodiscard]] std::int16_t ListIndex() const override;
    [[nodiscard]] std::u16string List(std::int16_t index) const override;
    void SetList(std::int16_t index, std::u16string_view text) override;
    void SetEnabled(design::ControlId button, bool on) override;
    void SetSimpleText(std::u16string_view text) override;
    void SetOpenFlags(std::uint32_t flags) override;
    DialogOutcome ShowOpen() override;
    [[nodiscard]] std::u16string OpenFileName() const override;
    DialogOutcome ShowSave() override;
    [[nodiscard]] std::u16string SaveFileName() const override;
    void ShowMessage(std::u16string_view text, std::u16string_view title) override;
    void Beep() override;
    void ProcessPendingEvents() override;
    [[nodiscard]] bool IsOpen() const override;

  private:
    void Record(std::string call) const;

    CallLog& log_;
    int processEventsCalls_ = 0;
};

}  // namespace foliomix::testing

#include "tests/unit/fake_window.h"

#include <stdexcept>

namespace foliomix::testing {
namespace {

int ButtonSlot(design::ControlId button) {
    switch (button) {
        case design::ControlId::cmdAdd:
            return 0;
        case design::ControlId::cmdUp:
            return 1;
        case design::ControlId::cmdDown:
            return 2;
        case design::ControlId::cmdMerge:
            return 3;
        default:
            throw std::logic_error("not a button");
    }
}

}  // namespace

void FakeWindow::Record(std::string call) const {
    if (!open) {
        ++touchedAfterClose;
    }
    const std::string name = call.substr(0, call.find_first_of("(="));
    log_.push_back("window." + std::move(call));
    if (throwing.contains(name)) {
        throw std::runtime_error("window." + name + " failed");
    }
}

bool FakeWindow::Enabled(design::ControlId button) const { return enabled[ButtonSlot(button)]; }

void FakeWindow::AddItem(std::u16string_view text) {
    Record("AddItem(" + Utf8(text) + ")");
    rows.emplace_back(text);
}

std::int16_t FakeWindow::ListCount() const {
    Record("ListCount");
    return static_cast<std::int16_t>(rows.size());
}

std::int16_t FakeWindow::ListIndex() const {
    Record("ListIndex");
    return selection;
}

std::u16string FakeWindow::List(std::int16_t index) const {
    Record("List(" + std::to_string(index) + ")");
    return rows.at(static_cast<std::size_t>(index));
}

void FakeWindow::SetList(std::int16_t index, std::u16string_view text) {
    Record("SetList(" + std::to_string(index) + "," + Utf8(text) + ")");
    rows.at(static_cast<std::size_t>(index)) = text;
}

void FakeWindow::SetEnabled(design::ControlId button, bool on) {
    Record(std::string(design::Control(button).name) + ".Enabled=" + (on ? "true" : "false"));
    enabled[ButtonSlot(button)] = on;
}

void FakeWindow::SetSimpleText(std::u16string_view text) {
    Record("SimpleText=" + Utf8(text));
    statusText = text;
}

void FakeWindow::SetOpenFlags(std::uint32_t flags) {
    Record("ofd.Flags=" + std::to_string(flags));
    openFlags = flags;
}

DialogOutcome FakeWindow::ShowOpen() {
    Record("ofd.ShowOpen");
    if (openAnswers.empty()) {
        throw std::logic_error("unexpected ShowOpen");
    }
    OpenAnswer answer = openAnswers.front();
    openAnswers.erase(openAnswers.begin());
    if (answer.outcome == DialogOutcome::Confirmed) {
        openFileName = answer.fileName;
    }
    return answer.outcome;
}

std::u16string FakeWindow::OpenFileName() const {
    Record("ofd.FileName");
    return openFileName;
}

DialogOutcome FakeWindow::ShowSave() {
    Record("sfd.ShowSave");
    if (saveAnswers.empty()) {
        throw std::logic_error("unexpected ShowSave");
    }
    SaveAnswer answer = saveAnswers.front();
    saveAnswers.erase(saveAnswers.begin());
    if (answer.outcome == DialogOutcome::Confirmed) {
        saveFileName = answer.fileName;
    }
    return answer.outcome;
}

std::u16string FakeWindow::SaveFileName() const {
    Record("sfd.FileName");
    return saveFileName;
}

void FakeWindow::ShowMessage(std::u16string_view text, std::u16string_view title) {
    Record("MsgBox(" + Utf8(text) + "|" + Utf8(title) + ")");
}

void FakeWindow::Beep() { Record("Beep"); }

void FakeWindow::ProcessPendingEvents() {
    Record("DoEvents");
    if (onProcessEvents) {
        onProcessEvents(++processEventsCalls_);
    }
}

bool FakeWindow::IsOpen() const { return open; }

}  // namespace foliomix::testing

#include "mergelist/merge_list.h"

using foliomix::design::ControlId;

namespace foliomix {

MergeList::MergeList(MainWindow& window, char16_t separator)
    : window_(window), separator_(separator) {}

std::vector<std::u16string> SplitAtNul(std::u16string_view text) {
    std::vector<std::u16string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t nul = text.find(u'\0', start);
        if (nul == std::u16string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, nul - start));
        start = nul + 1;
    }
}

void MergeList::Add() {
    window_.SetOpenFlags(kAddOpenFlags);
    if (window_.ShowOpen() == DialogOutcome::Cancelled) {
        return;
    }
    const std::u16string result = window_.OpenFileName();
    if (result.empty()) {
        return;
    }
    lastDialogResult_ = SplitAtNul(result);
    if (lastDialogResult_.size() == 1) {
        // One chosen file comes back as its full path, with no folder part of its own.
        window_.AddItem(lastDialogResult_.front());
    } else {
        const std::u16string& folder = lastDialogResult_.front();
        for (std::size_t i = 1; i < lastDialogResult_.size(); ++i) {
            // Exactly one separator, even after a root folder that already ends in one.
            lastDialogResult_[i] = folder + separator_ + lastDialogResult_[i];
            window_.AddItem(lastDialogResult_[i]);
        }
    }
    window_.SetEnabled(ControlId::cmdAdd, false);
    window_.SetEnabled(ControlId::cmdUp, true);
    window_.SetEnabled(ControlId::cmdDown, true);
    window_.SetEnabled(ControlId::cmdMerge, true);
}

void MergeList::MoveUp() {
    const std::int16_t i = window_.ListIndex();
    if (i < 1) {
        return;
    }
    SwapWithNeighbour(i, static_cast<std::int16_t>(i - 1));
}

void MergeList::MoveDown() {
    const std::int16_t i = window_.ListIndex();
    if (i < 0) {
        return;
    }
    if (i >= window_.ListCount() - 1) {
        return;
    }
    SwapWithNeighbour(i, static_cast<std::int16_t>(i + 1));
}

void MergeList::SwapWithNeighbour(std::int16_t selected, std::int16_t neighbour) {
    // Row `selected` keeps the selection: it now shows the neighbour's text.
    const std::u16string moved = window_.List(selected);
    window_.SetList(selected, window_.List(neighbour));
    window_.SetList(neighbour, moved);
}

}  // namespace foliomix

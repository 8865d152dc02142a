// Translates the file dialogs' design-time settings and option bits into the settings of Qt's
// own file dialog, and its chosen files back into the result form the core expects.
#pragma once

#include <QFileDialog>
#include <QStringList>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace foliomix::qt {

// A filter of description|pattern pairs ("Decks|*.ppt;*.pps") as Qt name filters
// ("Decks (*.ppt *.pps)"). A description equal to its pattern stands alone, so "*.ppt|*.ppt"
// shows as "*.ppt". A trailing description without a pattern is dropped.
[[nodiscard]] QStringList NameFilters(std::u16string_view filter);

// The open dialog's mode for the option bits the merge list sets: several existing files,
// one existing file, or any name.
[[nodiscard]] QFileDialog::FileMode OpenFileMode(std::uint32_t flags);

// The open dialog's result in the core's form: one file as its full path; several as their
// common folder followed, for each file in the dialog's order, by NUL and its path relative to
// that folder (a plain name when all lie in one folder). No NUL at the end; empty for none.
[[nodiscard]] std::u16string OpenResult(const QStringList& absolutePaths);

// Whether a choice of `count` files fits the list, whose rows are counted in 16 bits. Qt's
// dialog has no result buffer to overflow, so this is where a choice too large stops: it is
// treated like a cancel, as the Windows edition treats one too long for its dialog.
[[nodiscard]] constexpr bool FitsTheList(qsizetype count) {
    return count <= std::numeric_limits<std::int16_t>::max();
}

}  // namespace foliomix::qt

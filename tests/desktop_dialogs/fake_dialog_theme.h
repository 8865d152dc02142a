// What the test and the fake desktop's file dialog (a Qt platform theme plugin of the test's own)
// tell each other, through dynamic properties of the application object: the plugin is loaded by
// Qt and shares no code with the test.
#pragma once

namespace foliomix::testing::fake_dialogs {

// Set by the plugin when Qt has made its theme the platform's theme.
inline constexpr char kThemeLoaded[] = "foliomixFakeDialogTheme";
// QStringList, set by the test: the full paths the next dialog returns; empty: it is cancelled.
inline constexpr char kAnswer[] = "foliomixFakeDialogAnswer";
// QVariantList of QVariantMap, one per dialog shown, with the keys below.
inline constexpr char kShown[] = "foliomixFakeDialogShown";

inline constexpr char kAcceptMode[] = "acceptMode";              // int, as QFileDialog::AcceptMode
inline constexpr char kFileMode[] = "fileMode";                  // int, as QFileDialog::FileMode
inline constexpr char kNameFilters[] = "nameFilters";            // QStringList
inline constexpr char kDirectory[] = "directory";                // QString, a local path
inline constexpr char kSelected[] = "selected";                  // QStringList, local paths
inline constexpr char kDefaultSuffix[] = "defaultSuffix";        // QString
inline constexpr char kConfirmOverwrite[] = "confirmOverwrite";  // bool
inline constexpr char kModal[] = "modal";                        // bool
inline constexpr char kHasParent[] = "hasParent";                // bool: shown over a window

}  // namespace foliomix::testing::fake_dialogs

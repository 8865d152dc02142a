#include "app/qt/file_dialog_settings.h"

#include <QDir>
#include <QFileInfo>

#include "app/qt/qt_text.h"
#include "mergelist/merge_list.h"

namespace foliomix::qt {
namespace {

bool LiesUnder(const QString& path, const QString& folder) {
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    return path.startsWith(prefix);
}

// The deepest folder that holds every one of the paths, at worst the root.
QString CommonFolder(const QStringList& absolutePaths) {
    QString folder = QFileInfo(absolutePaths.front()).absolutePath();
    for (const QString& path : absolutePaths) {
        while (!LiesUnder(path, folder) && folder != u"/") {
            folder = QFileInfo(folder).absolutePath();
        }
    }
    return folder;
}

}  // namespace

QStringList NameFilters(std::u16string_view filter) {
    const QStringList parts = ToQString(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ');
        filters.append(description == parts[i + 1]
                           ? patterns
                           : description + QStringLiteral(" (") + patterns + u')');
    }
    return filters;
}

QFileDialog::FileMode OpenFileMode(std::uint32_t flags) {
    if ((flags & kOpenFlagAllowMultiSelect) != 0) {
        return QFileDialog::ExistingFiles;
    }
    if ((flags & kOpenFlagFileMustExist) != 0) {
        return QFileDialog::ExistingFile;
    }
    return QFileDialog::AnyFile;
}

std::u16string OpenResult(const QStringList& absolutePaths) {
    if (absolutePaths.isEmpty()) {
        return {};
    }
    if (absolutePaths.size() == 1) {
        return ToU16(absolutePaths.front());
    }
    const QString folder = CommonFolder(absolutePaths);
    const QDir base(folder);
    std::u16string result = ToU16(folder);
    for (const QString& path : absolutePaths) {
        result += u'\0';
        result += ToU16(base.relativeFilePath(path));
    }
    return result;
}

}  // namespace foliomix::qt

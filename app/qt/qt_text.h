// Conversions between the core's UTF-16 strings and Qt's, which are UTF-16 as well.
#pragma once

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

namespace foliomix::qt {

inline QString ToQString(std::u16string_view text) {
    return QStringView(text.data(), static_cast<qsizetype>(text.size())).toString();
}

inline std::u16string ToU16(const QString& text) { return text.toStdU16String(); }

}  // namespace foliomix::qt

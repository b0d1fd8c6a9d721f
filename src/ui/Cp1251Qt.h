#pragma once
// Windows-1251 texts of the core shown in widgets, and what the technician types turned back into
// Windows-1251.

#include <QString>
#include <string>
#include <string_view>

#include "text/Cp1251.h"

namespace rv {

inline QString FromCp1251(std::string_view cp1251) {
    return QString::fromStdString(Cp1251ToUtf8(cp1251));
}

// A character the code page cannot hold becomes "?"; `lossless` (when given) tells whether one did.
inline std::string ToCp1251(const QString& text, bool* lossless = nullptr) {
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp1251(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                        lossless);
}

}  // namespace rv

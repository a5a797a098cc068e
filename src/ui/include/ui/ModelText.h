#pragma once
// The model keeps the modem's Windows-1251 bytes; the controls show Unicode.
// Every crossing between the two goes through here.
#include <QString>
#include <string>

#include "app/Cp1251.h"

namespace nkq::ui {

inline QString FromModel(const std::string& bytes) { return QString::fromStdString(Cp1251ToUtf8(bytes)); }

inline std::string ToModel(const QString& text) { return Utf8ToCp1251(text.toStdString()); }

// Operator messages and failure texts are UTF-8 in the source; a failure
// text may still carry modem bytes (a value that failed to convert).
inline QString FromMessage(const std::string& text) {
    const QString utf8 = QString::fromUtf8(text);
    return utf8.contains(QChar::ReplacementCharacter) ? FromModel(text) : utf8;
}

}  // namespace nkq::ui

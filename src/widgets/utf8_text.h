#pragma once
// The model's strings (UTF-8) as Qt strings, and back.

#include <QString>
#include <string>

inline QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }
inline std::string ToUtf8(const QString& text) { return text.toStdString(); }

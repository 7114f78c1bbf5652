// Conversion between the programs' Windows-1252 byte strings and Qt's text.
//
// The language center and the configuration files keep single-byte text;
// only the widgets see QString. Characters that Windows-1252 cannot hold
// become '?', as the original code page conversion would give them.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vantro {

QString fromAnsi(std::string_view text);
std::string toAnsi(const QString& text);

}  // namespace vantro

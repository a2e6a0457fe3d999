#pragma once
// Views of a widget's text for the core's templates, without copying.
#include <QString>

#include <string_view>

inline std::u16string_view u16view(const QString& text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

#pragma once
// Files of other kinds that would otherwise reach the spreadsheet reader and be refused
// for their columns: what they are and what to do, in French.
#include <optional>
#include <string>
#include <string_view>

namespace q7::import {

// nullopt when the bytes may be a spreadsheet's text.
std::optional<std::string> foreignFormat(std::string_view bytes);

} // namespace q7::import

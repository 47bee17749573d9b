// Reading and writing the typed literals of the oleaut oracle's transcripts
// (E, N, I2:5, I4:7, R8:12.5, D:2004-03-05T14:30:00, S:text, BOOL:-1), so that
// the transcript's requests can be replayed against the component's Variant,
// and value tables written in the same notation (tests/support/table_file.h).
// A date may carry a fraction of a second: D:2024-02-29T13:45:30.5.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/variant.h"

namespace tmxcnh::testing {

std::optional<Variant> ParseLiteral(std::string_view literal);
std::optional<VariantType> ParseTypeName(std::string_view name);
std::string WriteLiteral(const Variant& value);
std::vector<std::string> Split(std::string_view line, std::string_view separator);

}  // namespace tmxcnh::testing

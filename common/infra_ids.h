// Identifier allocation for the inline-SQL writes: the last identifier issued
// for a key column of INFRA_IDS, plus one, written back and handed out.
#pragma once

#include <cstdint>
#include <string>

#include "platform/variant.h"

namespace tmxcnh {

// kind and user serve the trap (log row, and the detail for user 1); the
// third and fourth values (callers pass 1 and "TRAMOX") are not used;
// choice "S" runs on connection_object, anything else on connection_text.
// On success new_id holds the identifier; on failure message says why.
bool gAtualiza_infra_ids(const std::string& kind, int32_t user, int32_t one,
                         const std::string& owning_system, const std::string& choice,
                         Variant& connection_object, const std::string& connection_text,
                         const std::string& key_column, std::string& message, int32_t& new_id);

}  // namespace tmxcnh

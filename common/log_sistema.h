// The audit trail of the inline-SQL writes: one LOG_SISTEMA row per insert or
// update (table, action, user, record, when), its identifier taken from
// INFRA_IDS.LOG_SISTEMA_ID. No failure inside reaches the caller: a step
// that fails is skipped and the next one runs.
#pragma once

#include <cstdint>
#include <string>

namespace tmxcnh {

// False, with code 10 and a message, only when INFRA_IDS has no row (or
// cannot be read); true otherwise, even when the write or the insert failed.
bool gGrava_Log_Sistema(const std::string& kind, int32_t table, int32_t action, int32_t user,
                        int32_t record, int32_t& code, std::string& message,
                        const std::string& connection_text);

// The insert the routine sends for an audit row (exposed for the tests of its text).
std::string LogSistemaInsert(const std::string& kind, int32_t id, int32_t table, int32_t action,
                             int32_t user, int32_t record);

}  // namespace tmxcnh

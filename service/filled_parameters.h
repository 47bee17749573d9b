// The parameters that the service fills from the caller's token: a caller
// never chooses the database, the connection or the user it acts as.
#pragma once

#include <string_view>

#include "platform/text.h"

namespace tmxcnh::service {

inline constexpr std::string_view kKindParameter = "invntBanco_Dados";
inline constexpr std::string_view kConnectionParameter = "vntConecta_db";
inline constexpr std::string_view kUserParameter = "invntUsuario_internet_id";

inline bool FilledByService(std::string_view parameter) {
  return text::SameNameIgnoringCase(parameter, kKindParameter) ||
         text::SameNameIgnoringCase(parameter, kConnectionParameter) ||
         text::SameNameIgnoringCase(parameter, kUserParameter);
}

}  // namespace tmxcnh::service

// The service's interface as an OpenAPI 3 document (GET /v1/openapi.json),
// made from the method table, so it can never differ from what runs.
#pragma once

#include <nlohmann/json.hpp>

namespace tmxcnh::service {

nlohmann::json OpenApiDocument();

}  // namespace tmxcnh::service

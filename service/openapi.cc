#include "service/openapi.h"

#include <string>

#include "component/method_docs.h"
#include "component/method_table.h"
#include "service/filled_parameters.h"
#include "tmxcnh/version.h"

namespace tmxcnh::service {
namespace {

using nlohmann::json;

json Reference(const char* schema) {
  return {{"$ref", std::string("#/components/schemas/") + schema}};
}

json ErrorResponse(const char* description) {
  return {{"description", description},
          {"content", {{"application/json", {{"schema", Reference("Error")}}}}}};
}

json CallPath(const PublicMethod& method) {
  json inputs = json::object();
  json outputs = json::object();
  for (std::string_view name : method.parameters) {
    if (FilledByService(name)) continue;
    const ParameterDoc doc = DescribeParameter(method, name);
    const json property = {{"description", doc.meaning + " (" + doc.form + ")"},
                           {"$ref", "#/components/schemas/Value"}};
    if (doc.direction != "out") inputs[std::string(name)] = property;
    outputs[std::string(name)] = Reference("TypedValue");
  }
  return {
      {"post",
       {{"operationId", method.name},
        {"summary", MethodSummary(method)},
        {"description", "Answers " + MethodResults(method) + "."},
        {"security", json::array({{{"bearer", json::array()}}})},
        {"requestBody",
         {{"content",
           {{"application/json",
             {{"schema",
               {{"type", "object"}, {"properties", inputs}, {"additionalProperties", false}}}}}}}}},
        {"responses",
         {{"200",
           {{"description", "the call ran; its result and parameters"},
            {"content",
             {{"application/json",
               {{"schema",
                 {{"type", "object"},
                  {"properties",
                   {{"result", Reference("TypedValue")},
                    {"params", {{"type", "object"}, {"properties", outputs}}}}}}}}}}}}},
          {"400",
           ErrorResponse("a parameter the method does not have, bad JSON, too many parameters")},
          {"401", ErrorResponse("no token, or one that is not known")},
          {"403", ErrorResponse("a company or method outside the token")},
          {"413", ErrorResponse("a body, text or list beyond the limits")},
          {"504",
           ErrorResponse("no answer within the time limit; the call goes on to its end")}}}}}};
}

}  // namespace

json OpenApiDocument() {
  json paths = json::object();
  for (const PublicMethod& method : PublicMethods()) {
    paths["/v1/call/" + std::string(method.name)] = CallPath(method);
  }
  const json plain = {{"responses", {{"200", {{"description", "OK"}}}}}};
  paths["/v1/methods"] = {{"get", plain}};
  paths["/v1/methods/{name}"] = {{"get", plain}};
  paths["/healthz"] = {{"get", plain}};
  paths["/readyz"] = {{"get", plain}};
  paths["/metrics"] = {{"get", plain}};
  const json typed = {
      {"type", "object"},
      {"required", {"vt", "value"}},
      {"properties",
       {{"vt",
         {{"type", "string"},
          {"enum",
           {"Empty", "Null", "Integer", "Long", "Double", "Date", "String", "Boolean", "Array"}}}},
        {"value", json::object()}}}};
  const json value = {
      {"description",
       "a JSON value (a text is a String; a whole number an Integer or Long; a fraction a "
       "Double; a list an Array), or {\"vt\", \"value\"} to give the subtype; decimals in "
       "texts take a comma, dates dd/mm/yyyy"},
      {"oneOf",
       {{{"type", "string"}},
        {{"type", "number"}},
        {{"type", "boolean"}},
        {{"type", "array"}},
        typed}},
      {"nullable", true}};
  const json error = {{"type", "object"}, {"properties", {{"error", {{"type", "string"}}}}}};
  json document;
  document["openapi"] = "3.0.3";
  document["info"] = {{"title", "tmxcnh: transport documents and their invoices"},
                      {"version", kTmxcnhVersion}};
  document["paths"] = paths;
  document["components"]["securitySchemes"]["bearer"] = {{"type", "http"}, {"scheme", "bearer"}};
  document["components"]["schemas"] = {{"Value", value}, {"TypedValue", typed}, {"Error", error}};
  return document;
}

}  // namespace tmxcnh::service

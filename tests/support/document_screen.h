// The values of a document screen as the writing methods take them, for
// tests on real databases: the demo's branch 7, client 101 and their
// addresses and cities, with a number of invoices of growing values.
#pragma once

#include <string>
#include <vector>

#include "tests/support/method_call.h"

namespace tmxcnh::testing {

Arguments DocumentScreen(const std::string& kind, const std::string& connection,
                         const std::string& number, int invoices, const char* weight);

// The invoices of a document as mGrava_Nota_fiscal takes them: one per
// number, each of the same contents, value and volume.
Arguments InvoiceScreen(const std::string& kind, const std::string& connection,
                        const Variant& document, const std::vector<int>& numbers);

}  // namespace tmxcnh::testing

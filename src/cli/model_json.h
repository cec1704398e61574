// The drawing model as JSON, keys named as the model's fields, strings in UTF-8.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>

#include "jww_model.h"

namespace pikrotta {

// Everything: header values, JwwOrder as [kind, index] pairs and every valid record.
nlohmann::ordered_json ModelToJson(const TJwwGaibu& model);
// The text of ModelToJson(model).dump(1), written a record at a time: a drawing's JSON tree
// takes dozens of times the memory of the drawing.
void WriteModelJson(std::ostream& out, const TJwwGaibu& model);
// Header values and the count of each table and of JwwOrder.
nlohmann::ordered_json ModelSummaryToJson(const TJwwGaibu& model);

}  // namespace pikrotta

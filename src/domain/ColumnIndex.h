#pragma once

#include <string>

class TDataSet;

/// 0-based position of the column named `name` in `set`, ASCII case ignored.
/// A missing column raises the data set's own field-not-found error. Row
/// loops resolve their columns once with it instead of looking every field
/// up by name on every row.
int ColumnIndex(const TDataSet& set, const std::string& name);

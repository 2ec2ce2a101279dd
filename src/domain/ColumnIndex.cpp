#include "ColumnIndex.h"

#include <strings.h>

#include "TDataSet.h"

int ColumnIndex(const TDataSet& set, const std::string& name) {
  for (int column = 0; column < set.FieldCount(); ++column)
    if (strcasecmp(set.Fields(column).FieldName().c_str(), name.c_str()) == 0) return column;
  set.FieldByName(name);  // raises the field-not-found error
  return -1;
}

#include "FuzzTargets.h"

#include "ConfigFileCheck.h"
#include "ConnectionStringCheck.h"
#include "CsvTextCheck.h"
#include "FieldNumbersCheck.h"
#include "MemberTextCheck.h"
#include "MnemonicCheck.h"
#include "SqlRewriteCheck.h"
#include "SqlScriptCheck.h"
#include "StoredValueCheck.h"
#include "TextConversionCheck.h"
#include "ValueFormatCheck.h"
#include "XlsxReaderCheck.h"

const std::vector<FuzzTarget>& FuzzTargets() {
  static const std::vector<FuzzTarget> targets{
      {"config_file", CheckConfigFile},
      {"connection_string", CheckConnectionString},
      {"csv_text", CheckCsvText},
      {"field_numbers", CheckFieldNumbers},
      {"member_text", CheckMemberText},
      {"mnemonic", CheckMnemonic},
      {"sql_rewrite", CheckSqlRewrite},
      {"sql_script", CheckSqlScript},
      {"stored_value", CheckStoredValue},
      {"text_conversion", CheckTextConversion},
      {"value_format", CheckValueFormat},
      {"xlsx_reader", CheckXlsxReader},
  };
  return targets;
}

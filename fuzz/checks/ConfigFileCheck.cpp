#include "ConfigFileCheck.h"

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <pugixml.hpp>
#include <string>

#include "Exceptions.h"
#include "FuzzCheck.h"
#include "GbkText.h"
#include "TDBConfigFile.h"
#include "TDBConnPool.h"

using FuzzCheck::Require;

namespace {

// The pool's settings, to arrange a known state and to put the pool back as
// it was (other checks of the same process use it).
struct Settings {
  std::string DBName, DBUser, Password, Schema, Provider, Driver;
  int32_t Min = 0, Max = 0;

  static Settings Of(TDBConnPool& pool) {
    return {pool.GetDBName(),   pool.GetDBUser(), pool.GetPassword(),      pool.GetSchema(),
            pool.GetProvider(), pool.GetDriver(), pool.GetMinDBPoolSize(), pool.GetMaxDBPoolSize()};
  }
  void ApplyTo(TDBConnPool& pool) const {
    pool.SetDBName(DBName);
    pool.SetDBUser(DBUser);
    pool.SetPassword(Password);
    pool.SetSchema(Schema);
    pool.SetProvider(Provider);
    pool.SetDriver(Driver);
    pool.SetMinDBPoolSize(Min);
    pool.SetMaxDBPoolSize(Max);
  }
};

const Settings kBefore{"db?", "user?", "password?", "schema?", "provider?", "driver?", -7, -8};

// The setting as stored: the attribute's text in GBK; well-formed UTF-8
// reads back unchanged.
void RequireText(const std::string& stored, const pugi::xml_node& element, const char* name,
                 std::string_view input) {
  const std::string value = element.attribute(name).value();
  Require(stored == GbkText::FromUtf8(value), std::string(name) + " is the attribute's text",
          input);
  if (FuzzCheck::IsValidUtf8(value))
    Require(GbkText::ToUtf8(stored) == value, std::string(name) + " reads back unchanged", input);
}

bool HasControl(const std::string& value) {
  for (unsigned char c : value)
    if (c < 0x20 || c == 0x7f) return true;
  return false;
}

// A NUL as a byte or as a character reference (&#0;, &#x00;): refused before
// the document is read.
bool HasNul(const std::string& content) {
  if (content.find('\0') != std::string::npos) return true;
  for (size_t at = content.find("&#"); at != std::string::npos; at = content.find("&#", at + 2)) {
    size_t i = at + 2;
    if (i < content.size() && (content[i] == 'x' || content[i] == 'X')) ++i;
    const size_t digits = i;
    while (i < content.size() && content[i] == '0') ++i;
    if (i > digits && i < content.size() && content[i] == ';') return true;
  }
  return false;
}

// What a load of `content` must leave in the pool, and whether it succeeds.
// Settings are read in order and each is stored once read; the first one
// refused (a control character in a text, a size that is no whole number or
// out of its range, Min above Max, a wait bound out of its range) ends the
// load and leaves the settings after it as they were.
void RequireOutcome(TDBConnPool& pool, const std::string& content, bool loaded,
                    std::string_view input) {
  const Settings after = Settings::Of(pool);
  if (HasNul(content)) {
    Require(!loaded, "a NUL is refused", input);
    Require(after.DBName == kBefore.DBName && after.Min == kBefore.Min,
            "a refused document changes nothing", input);
    return;
  }
  pugi::xml_document doc;
  const bool wellFormed = doc.load_buffer(content.data(), content.size());
  const pugi::xml_node root = doc.document_element();
  if (!wellFormed || std::string(root.name()) != "cfgxml") {
    Require(!loaded, "a document that is not <cfgxml> is refused", input);
    Require(after.DBName == kBefore.DBName && after.Min == kBefore.Min,
            "a refused document changes nothing", input);
    return;
  }
  const pugi::xml_node element = root.child("DBConnectionPool");
  const std::string* stored[] = {&after.DBName, &after.DBUser, &after.Password, &after.Schema};
  const char* names[] = {"DBName", "DBUser", "Password", "Schema"};
  const std::string* before[] = {&kBefore.DBName, &kBefore.DBUser, &kBefore.Password,
                                 &kBefore.Schema};
  for (int i = 0; i < 4; ++i) {
    if (HasControl(element.attribute(names[i]).value())) {
      Require(!loaded, std::string(names[i]) + " with a control character is refused", input);
      for (int j = i; j < 4; ++j)
        Require(*stored[j] == *before[j], "nothing from the refused text on is stored", input);
      return;
    }
    RequireText(*stored[i], element, names[i], input);
  }
  const auto min =
      element ? FuzzCheck::PlainInteger(element.attribute("MinDBPoolSize").value()) : std::nullopt;
  const auto max =
      element ? FuzzCheck::PlainInteger(element.attribute("MaxDBPoolSize").value()) : std::nullopt;
  // Values outside every range stand for a missing number.
  const int minValue = min.value_or(-1);
  const int maxValue = max.value_or(-1);
  const bool minGood = minValue >= 0 && minValue <= TDBConnPool::kMaxPoolSize;
  const bool maxGood = minGood && maxValue >= 1 && maxValue <= TDBConnPool::kMaxPoolSize &&
                       minValue <= maxValue;
  Require(after.Min == (minGood ? minValue : kBefore.Min), "MinDBPoolSize as read", input);
  Require(after.Max == (maxGood ? maxValue : kBefore.Max), "MaxDBPoolSize as read", input);
  if (!maxGood) {
    Require(!loaded, "a size that is no whole number in its range is refused", input);
    Require(after.Provider == kBefore.Provider, "nothing after a refused size is read", input);
    return;
  }
  for (const char* name : {"Provider", "Driver"}) {
    if (HasControl(element.attribute(name).value())) {
      Require(!loaded, std::string(name) + " with a control character is refused", input);
      return;
    }
  }
  RequireText(after.Provider, element, "Provider", input);
  RequireText(after.Driver, element, "Driver", input);
  struct Bound {
    const char* Name;
    int Low, High;
  };
  for (const Bound& b : {Bound{"ConnectTimeout", 2, 600}, Bound{"CommandTimeout", 1, 3600},
                         Bound{"BusyTimeout", 1, 600}}) {
    if (!element.attribute(b.Name)) continue;
    const auto value = FuzzCheck::PlainInteger(element.attribute(b.Name).value());
    if (!value || *value < b.Low || *value > b.High) {
      Require(!loaded, std::string(b.Name) + " out of its range is refused", input);
      return;
    }
  }
  Require(loaded, "loads when every setting is good", input);
}

}  // namespace

void CheckConfigFile(std::string_view input) {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("tesmira-fuzz-config-" + std::to_string(getpid())))
          .string();
  const std::string content(input);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
  TDBConnPool& pool = *TDBConnPool::AccessInstance(1);
  // Puts the pool back however the check ends.
  struct Restore {
    TDBConnPool& Pool;
    const Settings Kept;
    ~Restore() { Kept.ApplyTo(Pool); }
  } restore{pool, Settings::Of(pool)};
  kBefore.ApplyTo(pool);
  bool loaded = true;
  try {
    TDBConfigFile::LoadFile(pool, path);
  } catch (const EDBException&) {
    loaded = false;
  } catch (const std::exception& e) {
    Require(false, std::string("only EDBException is raised, not: ") + e.what(), input);
  }
  std::filesystem::remove(path);
  RequireOutcome(pool, content, loaded, input);
}

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

// What a load of `content` must leave in the pool, and whether it succeeds.
void RequireOutcome(TDBConnPool& pool, const std::string& content, bool loaded,
                    std::string_view input) {
  const Settings after = Settings::Of(pool);
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
  RequireText(after.DBName, element, "DBName", input);
  RequireText(after.DBUser, element, "DBUser", input);
  RequireText(after.Password, element, "Password", input);
  RequireText(after.Schema, element, "Schema", input);
  const auto min =
      element ? FuzzCheck::PlainInteger(element.attribute("MinDBPoolSize").value()) : std::nullopt;
  const auto max =
      element ? FuzzCheck::PlainInteger(element.attribute("MaxDBPoolSize").value()) : std::nullopt;
  Require(after.Min == (min ? *min : kBefore.Min), "MinDBPoolSize as read", input);
  Require(after.Max == (min && max ? *max : kBefore.Max), "MaxDBPoolSize as read", input);
  Require(loaded == (min && max), "loads exactly when both sizes are whole numbers", input);
  if (loaded) {
    RequireText(after.Provider, element, "Provider", input);
    RequireText(after.Driver, element, "Driver", input);
  } else {
    Require(after.Provider == kBefore.Provider, "nothing after a refused size is read", input);
  }
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

#pragma once

#include <string>

namespace pugi {
class xml_node;
}
class TDBConnPool;

/// The reader of cfg/cfg.config: document element `cfgxml`, its first child
/// `DBConnectionPool`, whose attributes DBName, DBUser, Password, Schema,
/// MinDBPoolSize and MaxDBPoolSize (then the optional Provider and Driver)
/// are stored into the pool in that order, each right after it is read. Text
/// is converted to GBK and kept as written (no trimming).
class TDBConfigFile {
 public:
  /// Loads from `node`, or from the file beside the library when null.
  /// Raises EDBException: "找不到配置文件 .\cfg\cfg.config" when the file is
  /// missing; otherwise a message naming the file and the line (malformed
  /// XML) or the element or attribute at fault.
  static void Load(TDBConnPool& pool, const pugi::xml_node* node);
  /// Loads from the file at `path` (the same rules and messages).
  static void LoadFile(TDBConnPool& pool, const std::string& path);
  /// Where the file is looked for: cfg/cfg.config beside the library.
  static std::string Path();

 private:
  static void Apply(TDBConnPool& pool, const pugi::xml_node& element, bool present,
                    const std::string& where);
  static int ReadInteger(const pugi::xml_node& element, bool present, const char* name,
                         const std::string& where);
};

-- Tesmira catalogue tables, SQLite dialect (the embedded database).
-- Text columns compare without case, close to SQL Server's default collation.
-- Every column has a default so that rows can be arranged with a few values.

CREATE TABLE IF NOT EXISTS TJCategories (
  CateID        INTEGER PRIMARY KEY,
  CateCode      VARCHAR(20)  COLLATE NOCASE DEFAULT '',
  CateName      VARCHAR(100) COLLATE NOCASE DEFAULT '',
  CateInfo      VARCHAR(255) COLLATE NOCASE DEFAULT '',
  CateType      INTEGER DEFAULT 0,
  DispOrder     INTEGER DEFAULT 0,
  IsDispInRep   INTEGER DEFAULT 0,
  IsInUse       INTEGER DEFAULT 0,
  ModifiedBy    VARCHAR(50)  COLLATE NOCASE DEFAULT '',
  ModifiedDate  VARCHAR(30)  COLLATE NOCASE,
  Remark        VARCHAR(500) COLLATE NOCASE DEFAULT ''
);
CREATE INDEX IF NOT EXISTS IX_TJCategories_CateName ON TJCategories (CateName);
-- Codes are drawn as the largest + 1; two desks saving at once draw the
-- same one, and this index makes the second insert fail (and draw again)
-- instead of storing a second row with the code. Rows without a code (empty)
-- are not checked.
CREATE UNIQUE INDEX IF NOT EXISTS UX_TJCategories_CateCode ON TJCategories (CateCode)
  WHERE CateCode <> '';

CREATE TABLE IF NOT EXISTS TJItem (
  ItemID             INTEGER PRIMARY KEY,
  ItemCode           VARCHAR(20)  COLLATE NOCASE DEFAULT '',
  ItemName           VARCHAR(100) COLLATE NOCASE DEFAULT '',
  AbCustom           VARCHAR(50)  COLLATE NOCASE DEFAULT '',
  AbForPY            VARCHAR(50)  COLLATE NOCASE DEFAULT '',
  AbForWB            VARCHAR(50)  COLLATE NOCASE DEFAULT '',
  AliasID            VARCHAR(50)  COLLATE NOCASE DEFAULT '',
  CheckOrder         INTEGER DEFAULT 0,
  DispOrder          INTEGER DEFAULT 0,
  HintForLower       VARCHAR(50)  COLLATE NOCASE DEFAULT '',
  HintForUpper       VARCHAR(50)  COLLATE NOCASE DEFAULT '',
  IsSecCheck         INTEGER DEFAULT 0,
  IsInUse            INTEGER DEFAULT 0,
  IsRePorted         INTEGER DEFAULT 0,
  ItemUnit           VARCHAR(50)  COLLATE NOCASE DEFAULT '',
  LowerLimit         VARCHAR(50)  COLLATE NOCASE DEFAULT '',
  UpLimit            VARCHAR(50)  COLLATE NOCASE DEFAULT '',
  Max                VARCHAR(50)  COLLATE NOCASE DEFAULT '',
  Min                VARCHAR(50)  COLLATE NOCASE DEFAULT '',
  NaturalResult      VARCHAR(500) COLLATE NOCASE DEFAULT '',
  ResultType         INTEGER DEFAULT 0,
  SampleTypeID       INTEGER DEFAULT 0,
  Sex                VARCHAR(10)  COLLATE NOCASE DEFAULT '',
  UnitPrice          REAL DEFAULT 0,
  StandItemName      VARCHAR(100) COLLATE NOCASE DEFAULT '',
  CateId             INTEGER DEFAULT 0,
  CateName           VARCHAR(100) COLLATE NOCASE DEFAULT '',
  ChargeType         VARCHAR(100) COLLATE NOCASE DEFAULT '',
  ItemType           INTEGER DEFAULT 0,
  ItemsString        TEXT COLLATE NOCASE DEFAULT '',
  IsHaveExamProcess  INTEGER DEFAULT 0,
  IsInstrument       INTEGER DEFAULT 0,
  ValueFormat        VARCHAR(100) COLLATE NOCASE DEFAULT '',
  ExcludeItems       TEXT COLLATE NOCASE DEFAULT '',
  SampleGroupID      INTEGER DEFAULT 0
);
CREATE UNIQUE INDEX IF NOT EXISTS UX_TJItem_ItemCode ON TJItem (ItemCode) WHERE ItemCode <> '';
-- SQLite uses the partial index above only for a query that repeats its
-- condition: a lookup by code (ItemCode = '000012') would read every row.
CREATE INDEX IF NOT EXISTS IX_TJItem_ItemCode ON TJItem (ItemCode);
CREATE INDEX IF NOT EXISTS IX_TJItem_ItemName ON TJItem (ItemName);
CREATE INDEX IF NOT EXISTS IX_TJItem_CateId ON TJItem (CateId);

-- ID is the row key; the insert statement leaves it to the database.
CREATE TABLE IF NOT EXISTS TJSampleType (
  ID              INTEGER PRIMARY KEY,
  SampleTypeID    INTEGER DEFAULT 0,
  SampleTypeName  VARCHAR(100) COLLATE NOCASE DEFAULT ''
);
CREATE INDEX IF NOT EXISTS IX_TJSampleType_SampleTypeID ON TJSampleType (SampleTypeID);

-- GroupID is an identity: never reused, read back after the insert.
CREATE TABLE IF NOT EXISTS TJSampleGroup (
  GroupID       INTEGER PRIMARY KEY AUTOINCREMENT,
  SampleTypeID  INTEGER DEFAULT 0,
  GroupName     VARCHAR(100) COLLATE NOCASE DEFAULT ''
);
CREATE INDEX IF NOT EXISTS IX_TJSampleGroup_SampleTypeID ON TJSampleGroup (SampleTypeID);

CREATE TABLE IF NOT EXISTS sfChargeItem (
  ItemCode           VARCHAR(20)  COLLATE NOCASE PRIMARY KEY,
  ItemName           VARCHAR(100) COLLATE NOCASE DEFAULT '',
  DeptCode           VARCHAR(20)  COLLATE NOCASE DEFAULT '',
  DeptName           VARCHAR(100) COLLATE NOCASE DEFAULT '',
  Note               VARCHAR(255) COLLATE NOCASE DEFAULT '',
  NationGeneralCode  VARCHAR(50)  COLLATE NOCASE DEFAULT '',
  ItemUnit           VARCHAR(50)  COLLATE NOCASE DEFAULT '',
  ApplyEnvironment   INTEGER DEFAULT 0,
  UnitPrice          REAL DEFAULT 0,
  InvoiceType        VARCHAR(50)  COLLATE NOCASE DEFAULT '',
  SortID             INTEGER DEFAULT 0
);

-- One row whose Version every write of the library's catalogue windows
-- raises, in the write's own transaction. A desk compares it with the
-- value it read last to see in one query whether another desk changed the
-- catalogue; raising it first also takes the database's write lock before
-- the write reads anything.
CREATE TABLE IF NOT EXISTS TJCatalogueVersion (
  Version INTEGER NOT NULL
);
INSERT INTO TJCatalogueVersion (Version)
  SELECT 1 WHERE NOT EXISTS (SELECT 1 FROM TJCatalogueVersion);

-- The catalogue's change history: one row per column a write changed
-- (inserts name every column they filled, deletes every column the row
-- held), written in the write's own transaction with one INSERT. ChangeID is
-- the change stamp the write raised; ChangedAt the database's time as
-- yyyy-mm-dd hh:mm:ss. A database made before this table gets it from the
-- library on its first catalogue write.
CREATE TABLE IF NOT EXISTS TJCatalogueHistory (
  ChangeID     BIGINT NOT NULL,
  Seq          INT NOT NULL,
  ChangedAt    VARCHAR(19) NOT NULL,
  OperatorName VARCHAR(200),
  UserName     VARCHAR(200),
  Source       VARCHAR(200),
  TableName    VARCHAR(30) NOT NULL,
  EntryKind    VARCHAR(200),
  EntryCode    VARCHAR(200),
  EntryName    VARCHAR(200),
  Action       VARCHAR(200),
  FieldName    VARCHAR(30),
  OldValue     TEXT,
  NewValue     TEXT,
  PRIMARY KEY (ChangeID, Seq)
);
CREATE INDEX IF NOT EXISTS IX_TJCatalogueHistory_Entry ON TJCatalogueHistory (TableName, EntryCode);
CREATE INDEX IF NOT EXISTS IX_TJCatalogueHistory_Time ON TJCatalogueHistory (ChangedAt);

-- A category that catalogue entries still belong to cannot be deleted: its
-- items would be left pointing at nothing. The category window reports the
-- refusal as "referenced".
CREATE TRIGGER IF NOT EXISTS TR_TJCategories_KeepReferenced
BEFORE DELETE ON TJCategories
WHEN EXISTS (SELECT 1 FROM TJItem WHERE CateId = OLD.CateID)
BEGIN
  SELECT RAISE(ABORT, 'The category is referenced by catalogue entries');
END;

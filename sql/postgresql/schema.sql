-- Tesmira catalogue tables, PostgreSQL (a server reached through ODBC with the
-- PostgreSQL Unicode driver). The database is created with encoding UTF8.
--
-- Text columns compare without regard to case, as SQL Server's default
-- collation does: they use the nondeterministic ICU collation tesmira_ci
-- (strength 2: case ignored, accents and every other difference kept).
-- Every column has a default so that rows can be arranged with a few values.
--
-- Three helpers stand in for what SQL Server does by itself; the connection
-- rewrites the statements to use them:
--   tesmira_identity()  the identity of the session's last insert, Null before
--                       any (SQL Server's @@IDENTITY; lastval() would fail);
--   tesmira_gbk(x)      the order key of ORDER BY terms: text sorts by its GBK
--                       bytes (pinyin for the common characters, ASCII
--                       letters without case), as a server with a Chinese
--                       collation sorts it; any other type sorts as itself;
--   text + integer      SQL Server converts a text operand of + to a number
--                       (MAX(ItemCode) + 1 draws the next code).

CREATE COLLATION IF NOT EXISTS tesmira_ci (provider = icu, locale = 'und-u-ks-level2',
                                           deterministic = false);

CREATE OR REPLACE FUNCTION tesmira_identity() RETURNS bigint LANGUAGE plpgsql VOLATILE AS $$
BEGIN
  RETURN lastval();
EXCEPTION WHEN object_not_in_prerequisite_state THEN
  RETURN NULL;
END
$$;

-- GB18030 is byte-identical to GBK for every GBK character and also encodes
-- the rest, so no text fails to convert.
CREATE OR REPLACE FUNCTION tesmira_gbk(text) RETURNS bytea LANGUAGE sql IMMUTABLE STRICT AS $$
  SELECT convert_to(translate($1 COLLATE "C", 'ABCDEFGHIJKLMNOPQRSTUVWXYZ',
                              'abcdefghijklmnopqrstuvwxyz'), 'GB18030')
$$;
CREATE OR REPLACE FUNCTION tesmira_gbk(anyelement) RETURNS anyelement LANGUAGE sql IMMUTABLE AS $$
  SELECT $1
$$;

CREATE OR REPLACE FUNCTION tesmira_text_plus(text, integer) RETURNS integer LANGUAGE sql
  IMMUTABLE STRICT AS $$ SELECT CAST($1 AS integer) + $2 $$;
DO $$
BEGIN
  CREATE OPERATOR + (LEFTARG = text, RIGHTARG = integer, FUNCTION = tesmira_text_plus);
EXCEPTION WHEN duplicate_function THEN
  NULL;
END
$$;

CREATE TABLE IF NOT EXISTS TJCategories (
  CateID        INTEGER NOT NULL PRIMARY KEY,
  CateCode      VARCHAR(20)  COLLATE tesmira_ci DEFAULT '',
  CateName      VARCHAR(100) COLLATE tesmira_ci DEFAULT '',
  CateInfo      VARCHAR(255) COLLATE tesmira_ci DEFAULT '',
  CateType      INTEGER DEFAULT 0,
  DispOrder     INTEGER DEFAULT 0,
  IsDispInRep   INTEGER DEFAULT 0,
  IsInUse       INTEGER DEFAULT 0,
  ModifiedBy    VARCHAR(50)  COLLATE tesmira_ci DEFAULT '',
  ModifiedDate  TIMESTAMP(0),
  Remark        VARCHAR(500) COLLATE tesmira_ci DEFAULT ''
);
CREATE INDEX IF NOT EXISTS IX_TJCategories_CateName ON TJCategories (CateName);
-- Codes are drawn as the largest + 1; two desks saving at once draw the
-- same one, and this index makes the second insert fail (and draw again)
-- instead of storing a second row with the code. Rows without a code (empty)
-- are not checked.
CREATE UNIQUE INDEX IF NOT EXISTS UX_TJCategories_CateCode ON TJCategories (CateCode)
  WHERE CateCode <> '';

CREATE TABLE IF NOT EXISTS TJItem (
  ItemID             INTEGER NOT NULL PRIMARY KEY,
  ItemCode           VARCHAR(20)  COLLATE tesmira_ci DEFAULT '',
  ItemName           VARCHAR(100) COLLATE tesmira_ci DEFAULT '',
  AbCustom           VARCHAR(50)  COLLATE tesmira_ci DEFAULT '',
  AbForPY            VARCHAR(50)  COLLATE tesmira_ci DEFAULT '',
  AbForWB            VARCHAR(50)  COLLATE tesmira_ci DEFAULT '',
  AliasID            VARCHAR(50)  COLLATE tesmira_ci DEFAULT '',
  CheckOrder         INTEGER DEFAULT 0,
  DispOrder          INTEGER DEFAULT 0,
  HintForLower       VARCHAR(50)  COLLATE tesmira_ci DEFAULT '',
  HintForUpper       VARCHAR(50)  COLLATE tesmira_ci DEFAULT '',
  IsSecCheck         INTEGER DEFAULT 0,
  IsInUse            INTEGER DEFAULT 0,
  IsRePorted         INTEGER DEFAULT 0,
  ItemUnit           VARCHAR(50)  COLLATE tesmira_ci DEFAULT '',
  LowerLimit         VARCHAR(50)  COLLATE tesmira_ci DEFAULT '',
  UpLimit            VARCHAR(50)  COLLATE tesmira_ci DEFAULT '',
  Max                VARCHAR(50)  COLLATE tesmira_ci DEFAULT '',
  Min                VARCHAR(50)  COLLATE tesmira_ci DEFAULT '',
  NaturalResult      VARCHAR(500) COLLATE tesmira_ci DEFAULT '',
  ResultType         INTEGER DEFAULT 0,
  SampleTypeID       INTEGER DEFAULT 0,
  Sex                VARCHAR(10)  COLLATE tesmira_ci DEFAULT '',
  UnitPrice          DECIMAL(12, 2) DEFAULT 0,
  StandItemName      VARCHAR(100) COLLATE tesmira_ci DEFAULT '',
  CateId             INTEGER DEFAULT 0,
  CateName           VARCHAR(100) COLLATE tesmira_ci DEFAULT '',
  ChargeType         VARCHAR(100) COLLATE tesmira_ci DEFAULT '',
  ItemType           INTEGER DEFAULT 0,
  ItemsString        TEXT COLLATE tesmira_ci DEFAULT '',
  IsHaveExamProcess  INTEGER DEFAULT 0,
  IsInstrument       INTEGER DEFAULT 0,
  ValueFormat        VARCHAR(100) COLLATE tesmira_ci DEFAULT '',
  ExcludeItems       TEXT COLLATE tesmira_ci DEFAULT '',
  SampleGroupID      INTEGER DEFAULT 0
);
CREATE UNIQUE INDEX IF NOT EXISTS UX_TJItem_ItemCode ON TJItem (ItemCode) WHERE ItemCode <> '';
CREATE INDEX IF NOT EXISTS IX_TJItem_ItemName ON TJItem (ItemName);
CREATE INDEX IF NOT EXISTS IX_TJItem_CateId ON TJItem (CateId);

-- ID is the row key; the insert statement leaves it to the database and the
-- update statement writes it, so it is a plain column with a sequence default.
CREATE SEQUENCE IF NOT EXISTS TJSampleTypeIDs AS INTEGER;
CREATE TABLE IF NOT EXISTS TJSampleType (
  ID              INTEGER NOT NULL PRIMARY KEY DEFAULT nextval('TJSampleTypeIDs'),
  SampleTypeID    INTEGER DEFAULT 0,
  SampleTypeName  VARCHAR(100) COLLATE tesmira_ci DEFAULT ''
);
ALTER SEQUENCE TJSampleTypeIDs OWNED BY TJSampleType.ID;
CREATE INDEX IF NOT EXISTS IX_TJSampleType_SampleTypeID ON TJSampleType (SampleTypeID);

-- GroupID is an identity: never reused, read back after the insert.
CREATE TABLE IF NOT EXISTS TJSampleGroup (
  GroupID       INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,
  SampleTypeID  INTEGER DEFAULT 0,
  GroupName     VARCHAR(100) COLLATE tesmira_ci DEFAULT ''
);
CREATE INDEX IF NOT EXISTS IX_TJSampleGroup_SampleTypeID ON TJSampleGroup (SampleTypeID);

CREATE TABLE IF NOT EXISTS sfChargeItem (
  ItemCode           VARCHAR(20)  COLLATE tesmira_ci NOT NULL PRIMARY KEY,
  ItemName           VARCHAR(100) COLLATE tesmira_ci DEFAULT '',
  DeptCode           VARCHAR(20)  COLLATE tesmira_ci DEFAULT '',
  DeptName           VARCHAR(100) COLLATE tesmira_ci DEFAULT '',
  Note               VARCHAR(255) COLLATE tesmira_ci DEFAULT '',
  NationGeneralCode  VARCHAR(50)  COLLATE tesmira_ci DEFAULT '',
  ItemUnit           VARCHAR(50)  COLLATE tesmira_ci DEFAULT '',
  ApplyEnvironment   INTEGER DEFAULT 0,
  UnitPrice          DECIMAL(12, 2) DEFAULT 0,
  InvoiceType        VARCHAR(50)  COLLATE tesmira_ci DEFAULT '',
  SortID             INTEGER DEFAULT 0
);

-- One row whose Version every write of the library's catalogue windows
-- raises, in the write's own transaction. A desk compares it with the
-- value it read last to see in one query whether another desk changed the
-- catalogue; raising it first also takes the database's write lock before
-- the write reads anything.
CREATE TABLE IF NOT EXISTS TJCatalogueVersion (
  Version BIGINT NOT NULL
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
CREATE OR REPLACE FUNCTION tesmira_keep_referenced_category() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
  IF EXISTS (SELECT 1 FROM TJItem WHERE CateId = OLD.CateID) THEN
    RAISE EXCEPTION 'The category is referenced by catalogue entries'
      USING ERRCODE = 'foreign_key_violation';
  END IF;
  RETURN OLD;
END
$$;
DROP TRIGGER IF EXISTS TR_TJCategories_KeepReferenced ON TJCategories;
CREATE TRIGGER TR_TJCategories_KeepReferenced BEFORE DELETE ON TJCategories
  FOR EACH ROW EXECUTE FUNCTION tesmira_keep_referenced_category();

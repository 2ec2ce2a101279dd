-- Tesmira catalogue tables, SQL Server (T-SQL). Text columns are Unicode so
-- that Chinese names survive any client code page; the database's default
-- collation (case-insensitive) applies.
--
-- The filtered unique indexes need QUOTED_IDENTIFIER and ANSI_NULLS on when
-- they are made and whenever the tables are written; ODBC connections
-- (Microsoft's driver, FreeTDS) have them on, sqlcmd does not by default.
SET QUOTED_IDENTIFIER ON;
SET ANSI_NULLS ON;
GO

CREATE TABLE TJCategories (
  CateID        INT NOT NULL CONSTRAINT PK_TJCategories PRIMARY KEY,
  CateCode      NVARCHAR(20)  NULL CONSTRAINT DF_TJCategories_CateCode DEFAULT (''),
  CateName      NVARCHAR(100) NULL CONSTRAINT DF_TJCategories_CateName DEFAULT (''),
  CateInfo      NVARCHAR(255) NULL CONSTRAINT DF_TJCategories_CateInfo DEFAULT (''),
  CateType      INT NULL CONSTRAINT DF_TJCategories_CateType DEFAULT (0),
  DispOrder     INT NULL CONSTRAINT DF_TJCategories_DispOrder DEFAULT (0),
  IsDispInRep   INT NULL CONSTRAINT DF_TJCategories_IsDispInRep DEFAULT (0),
  IsInUse       INT NULL CONSTRAINT DF_TJCategories_IsInUse DEFAULT (0),
  ModifiedBy    NVARCHAR(50)  NULL CONSTRAINT DF_TJCategories_ModifiedBy DEFAULT (''),
  ModifiedDate  DATETIME NULL,
  Remark        NVARCHAR(500) NULL CONSTRAINT DF_TJCategories_Remark DEFAULT ('')
);
CREATE INDEX IX_TJCategories_CateName ON TJCategories (CateName);
-- Codes are drawn as the largest + 1; two desks saving at once draw the
-- same one, and this index makes the second insert fail (and draw again)
-- instead of storing a second row with the code. Rows without a code (empty)
-- are not checked.
CREATE UNIQUE INDEX UX_TJCategories_CateCode ON TJCategories (CateCode) WHERE CateCode <> '';
GO

CREATE TABLE TJItem (
  ItemID             INT NOT NULL CONSTRAINT PK_TJItem PRIMARY KEY,
  ItemCode           NVARCHAR(20)  NULL DEFAULT (''),
  ItemName           NVARCHAR(100) NULL DEFAULT (''),
  AbCustom           NVARCHAR(50)  NULL DEFAULT (''),
  AbForPY            NVARCHAR(50)  NULL DEFAULT (''),
  AbForWB            NVARCHAR(50)  NULL DEFAULT (''),
  AliasID            NVARCHAR(50)  NULL DEFAULT (''),
  CheckOrder         INT NULL DEFAULT (0),
  DispOrder          INT NULL DEFAULT (0),
  HintForLower       NVARCHAR(50)  NULL DEFAULT (''),
  HintForUpper       NVARCHAR(50)  NULL DEFAULT (''),
  IsSecCheck         INT NULL DEFAULT (0),
  IsInUse            INT NULL DEFAULT (0),
  IsRePorted         INT NULL DEFAULT (0),
  ItemUnit           NVARCHAR(50)  NULL DEFAULT (''),
  LowerLimit         NVARCHAR(50)  NULL DEFAULT (''),
  UpLimit            NVARCHAR(50)  NULL DEFAULT (''),
  [Max]              NVARCHAR(50)  NULL DEFAULT (''),
  [Min]              NVARCHAR(50)  NULL DEFAULT (''),
  NaturalResult      NVARCHAR(500) NULL DEFAULT (''),
  ResultType         INT NULL DEFAULT (0),
  SampleTypeID       INT NULL DEFAULT (0),
  Sex                NVARCHAR(10)  NULL DEFAULT (''),
  UnitPrice          DECIMAL(12, 2) NULL DEFAULT (0),
  StandItemName      NVARCHAR(100) NULL DEFAULT (''),
  CateId             INT NULL DEFAULT (0),
  CateName           NVARCHAR(100) NULL DEFAULT (''),
  ChargeType         NVARCHAR(100) NULL DEFAULT (''),
  ItemType           INT NULL DEFAULT (0),
  ItemsString        NVARCHAR(MAX) NULL DEFAULT (''),
  IsHaveExamProcess  INT NULL DEFAULT (0),
  IsInstrument       INT NULL DEFAULT (0),
  ValueFormat        NVARCHAR(100) NULL DEFAULT (''),
  ExcludeItems       NVARCHAR(MAX) NULL DEFAULT (''),
  SampleGroupID      INT NULL DEFAULT (0)
);
CREATE UNIQUE INDEX UX_TJItem_ItemCode ON TJItem (ItemCode) WHERE ItemCode <> '';
CREATE INDEX IX_TJItem_ItemName ON TJItem (ItemName);
CREATE INDEX IX_TJItem_CateId ON TJItem (CateId);
GO

-- The insert statement leaves ID to the database and the update statement
-- writes it, so ID takes its value from a sequence (an IDENTITY column could
-- not be updated).
CREATE SEQUENCE TJSampleTypeIDs AS INT START WITH 1 INCREMENT BY 1;
GO
CREATE TABLE TJSampleType (
  ID              INT NOT NULL CONSTRAINT DF_TJSampleType_ID DEFAULT (NEXT VALUE FOR TJSampleTypeIDs)
                  CONSTRAINT PK_TJSampleType PRIMARY KEY,
  SampleTypeID    INT NULL DEFAULT (0),
  SampleTypeName  NVARCHAR(100) NULL DEFAULT ('')
);
CREATE INDEX IX_TJSampleType_SampleTypeID ON TJSampleType (SampleTypeID);
GO

CREATE TABLE TJSampleGroup (
  GroupID       INT IDENTITY(1, 1) NOT NULL CONSTRAINT PK_TJSampleGroup PRIMARY KEY,
  SampleTypeID  INT NULL DEFAULT (0),
  GroupName     NVARCHAR(100) NULL DEFAULT ('')
);
CREATE INDEX IX_TJSampleGroup_SampleTypeID ON TJSampleGroup (SampleTypeID);
GO

CREATE TABLE sfChargeItem (
  ItemCode           NVARCHAR(20)  NOT NULL CONSTRAINT PK_sfChargeItem PRIMARY KEY,
  ItemName           NVARCHAR(100) NULL DEFAULT (''),
  DeptCode           NVARCHAR(20)  NULL DEFAULT (''),
  DeptName           NVARCHAR(100) NULL DEFAULT (''),
  Note               NVARCHAR(255) NULL DEFAULT (''),
  NationGeneralCode  NVARCHAR(50)  NULL DEFAULT (''),
  ItemUnit           NVARCHAR(50)  NULL DEFAULT (''),
  ApplyEnvironment   INT NULL DEFAULT (0),
  UnitPrice          DECIMAL(12, 2) NULL DEFAULT (0),
  InvoiceType        NVARCHAR(50)  NULL DEFAULT (''),
  SortID             INT NULL DEFAULT (0)
);
GO

-- One row whose Version every write of the library's catalogue windows
-- raises, in the write's own transaction. A desk compares it with the
-- value it read last to see in one query whether another desk changed the
-- catalogue; raising it first also takes the write lock before the write
-- reads anything.
CREATE TABLE TJCatalogueVersion (
  Version BIGINT NOT NULL
);
INSERT INTO TJCatalogueVersion (Version) VALUES (1);
GO

-- The catalogue's change history: one row per column a write changed
-- (inserts name every column they filled, deletes every column the row
-- held), written in the write's own transaction with one INSERT. ChangeID is
-- the change stamp the write raised; ChangedAt the database's time as
-- yyyy-mm-dd hh:mm:ss. A database made before this table gets it from the
-- library on its first catalogue write.
CREATE TABLE TJCatalogueHistory (
  ChangeID     BIGINT NOT NULL,
  Seq          INT NOT NULL,
  ChangedAt    VARCHAR(19) NOT NULL,
  OperatorName NVARCHAR(200),
  UserName     NVARCHAR(200),
  Source       NVARCHAR(200),
  TableName    VARCHAR(30) NOT NULL,
  EntryKind    NVARCHAR(200),
  EntryCode    NVARCHAR(200),
  EntryName    NVARCHAR(200),
  Action       NVARCHAR(200),
  FieldName    VARCHAR(30),
  OldValue     NVARCHAR(MAX),
  NewValue     NVARCHAR(MAX),
  PRIMARY KEY (ChangeID, Seq)
);
CREATE INDEX IX_TJCatalogueHistory_Entry ON TJCatalogueHistory (TableName, EntryCode);
CREATE INDEX IX_TJCatalogueHistory_Time ON TJCatalogueHistory (ChangedAt);
GO

-- A category that catalogue entries still belong to cannot be deleted: its
-- items would be left pointing at nothing. The category window reports the
-- refusal as "referenced".
CREATE TRIGGER TR_TJCategories_KeepReferenced ON TJCategories INSTEAD OF DELETE AS
BEGIN
  SET NOCOUNT ON;
  IF EXISTS (SELECT 1 FROM TJItem i JOIN deleted d ON i.CateId = d.CateID)
  BEGIN
    RAISERROR('The category is referenced by catalogue entries', 16, 1);
    RETURN;
  END;
  DELETE c FROM TJCategories c JOIN deleted d ON c.CateID = d.CateID;
END;
GO

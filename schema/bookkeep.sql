-- The data file of the customer manager. This script is run once by the build to produce
-- bookkeep.dat; the program itself creates a table or index only when it upgrades an older
-- data file to the version below.
-- Yes/no columns hold -1 (true) or 0 (false); 1 is read as true too. Texts carry their length
-- limits as CHECK constraints so an overlong value fails as a database error.

CREATE TABLE Customer (
    GUID      TEXT    NOT NULL CHECK (length(GUID) <= 36),
    TypeID    INTEGER NOT NULL DEFAULT 0,
    姓名      TEXT    CHECK (length(姓名) <= 255),
    手机号码  TEXT    CHECK (length(手机号码) <= 255),
    备注      TEXT,
    新建时间  TEXT    NOT NULL DEFAULT (strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'))
);

CREATE TABLE CustomerType (
    SelfIndex   INTEGER NOT NULL,
    ParentIndex INTEGER NOT NULL DEFAULT 0,
    TypeName    TEXT    CHECK (length(TypeName) <= 255)
);

CREATE TABLE NoteType (
    SelfIndex   INTEGER NOT NULL,
    ParentIndex INTEGER NOT NULL DEFAULT 0,
    TypeName    TEXT    CHECK (length(TypeName) <= 255)
);

CREATE TABLE NoteBook (
    ID     INTEGER PRIMARY KEY AUTOINCREMENT,
    TypeID INTEGER NOT NULL DEFAULT 0,
    ReMark TEXT
);

CREATE TABLE AppTitle (
    TitleName   TEXT    NOT NULL CHECK (length(TitleName) <= 255),
    TitleType   INTEGER NOT NULL DEFAULT 0 CHECK (TitleType BETWEEN 0 AND 4),
    TitleValues TEXT,
    Titlebt     INTEGER NOT NULL DEFAULT 0 CHECK (Titlebt IN (-1, 0, 1)),
    Titlewy     INTEGER NOT NULL DEFAULT 0 CHECK (Titlewy IN (-1, 0, 1))
);

CREATE TABLE ConnFile (
    ID       INTEGER PRIMARY KEY AUTOINCREMENT,
    GUID     TEXT NOT NULL CHECK (length(GUID) <= 36),
    FileName TEXT CHECK (length(FileName) <= 255),
    Remark   TEXT
);

CREATE TABLE Alam (
    ID       INTEGER PRIMARY KEY AUTOINCREMENT,
    iHour    INTEGER NOT NULL DEFAULT 0 CHECK (iHour BETWEEN 0 AND 23),
    iMinute  INTEGER NOT NULL DEFAULT 0 CHECK (iMinute BETWEEN 0 AND 59),
    iMonWeek INTEGER NOT NULL DEFAULT 1,
    ReDay    INTEGER NOT NULL DEFAULT 0 CHECK (ReDay BETWEEN 0 AND 3),
    AlamDate TEXT,
    ReMark   TEXT,
    bLook    INTEGER NOT NULL DEFAULT 0 CHECK (bLook IN (-1, 0, 1))
);

-- The once-a-minute due check looks reminders up by their hour and minute. A data file
-- without this index works the same, only slower with many reminders.
CREATE INDEX AlamDue ON Alam (iHour, iMinute);

CREATE TABLE AlamContext (
    ID     INTEGER PRIMARY KEY AUTOINCREMENT,
    Remark TEXT
);

CREATE TABLE SysSet (
    bPass    INTEGER NOT NULL DEFAULT 0 CHECK (bPass IN (-1, 0, 1)),
    PassWord TEXT    NOT NULL DEFAULT '' CHECK (length(PassWord) <= 255)
);

-- Every short message the program sends, written "sending" (Outcome 0) before the library is
-- called and completed after it, so a message whose outcome never came back stays visible.
-- Outcome: 0 unknown, 1 accepted, 2 refused. Way: 0 modem, 1 web account. Delivery: 0 none,
-- 1 submitted (the web account reports nothing more), 2 awaiting the modem's reports,
-- 3 delivered, 4 not delivered. Refs: the modem's reference of every part, comma-separated;
-- PartStates: one letter a part, '-' awaiting, 'D' delivered, 'F' failed.
CREATE TABLE SmsLog (
    ID           INTEGER PRIMARY KEY AUTOINCREMENT,
    BatchID      INTEGER NOT NULL,
    SendTime     TEXT    NOT NULL,
    GUID         TEXT    CHECK (length(GUID) <= 36),
    Name         TEXT,
    Mobile       TEXT,
    Message      TEXT,
    Way          INTEGER NOT NULL CHECK (Way IN (0, 1)),
    Outcome      INTEGER NOT NULL DEFAULT 0 CHECK (Outcome BETWEEN 0 AND 2),
    Result       TEXT,
    Reply        TEXT,
    Delivery     INTEGER NOT NULL DEFAULT 0 CHECK (Delivery BETWEEN 0 AND 4),
    DeliveryTime TEXT,
    Refs         TEXT,
    PartStates   TEXT
);

-- A customer's messages newest first; the history by date; the latest messages that carry the
-- modem's references, which the delivery reports are matched against.
CREATE INDEX SmsLogCustomer ON SmsLog (GUID, SendTime);
CREATE INDEX SmsLogSendTime ON SmsLog (SendTime);
CREATE INDEX SmsLogRefs ON SmsLog (ID) WHERE Refs IS NOT NULL;

INSERT INTO CustomerType (SelfIndex, ParentIndex, TypeName) VALUES (0, 0, '未分组');
INSERT INTO SysSet (bPass, PassWord) VALUES (0, '');

-- The version of this layout. Whatever a later version adds here is also one upgrade step in
-- src/data/DataFileVersion.cpp, which brings the files of earlier versions up to it.
PRAGMA user_version = 1;

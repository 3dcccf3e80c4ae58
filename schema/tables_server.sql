-- The same three tables on a PostgreSQL server, for a book several desks share. Columns keep the
-- order of tables.sql, since readers and appends go by position. Names are left unquoted, so the
-- server folds them to lower case and the statements of the programs find them either way.
-- Money is exact (numeric with cents); dates stay ISO text, as in the file, checked to be real
-- dates; account and invoice numbers sort byte by byte, as in the file, whatever the server's locale.

CREATE TABLE tbl_CustomerProfile (
    AccountNumber     TEXT COLLATE "C" NOT NULL,
    MasterAccount     TEXT COLLATE "C",
    CustomerName      TEXT,
    Email             TEXT,
    Phone             TEXT,
    Address1          TEXT,
    Address2          TEXT,
    Address3          TEXT,
    Address4          TEXT,
    BusinessClass     TEXT,
    Comments          TEXT,
    InvoiceType       INTEGER,
    PaymentAmount     NUMERIC(15, 2),
    UnitPrice         NUMERIC(15, 2),
    PayableTo         TEXT,
    BillAddress1      TEXT,
    BillAddress2      TEXT,
    BillAddress3      TEXT,
    BillAddress4      TEXT,
    BillCycle         INTEGER,
    Reserved          INTEGER,
    MonthDay          TEXT COLLATE "C",
    GraceDays         INTEGER,
    RecievingAddress1 TEXT,
    RecievingAddress2 TEXT,
    RecievingAddress3 TEXT,
    RecievingAddress4 TEXT
);

CREATE TABLE tbl_Invoices (
    InvoiceNumber  TEXT COLLATE "C" NOT NULL,
    AccountNumber  TEXT COLLATE "C",
    DateBilled     TEXT CHECK (DateBilled IS NULL OR to_char(CAST(DateBilled AS date), 'YYYY-MM-DD') = DateBilled),
    CheckNumber    TEXT,
    DateDue        TEXT CHECK (DateDue IS NULL OR to_char(CAST(DateDue AS date), 'YYYY-MM-DD') = DateDue),
    DateRecieved   TEXT CHECK (DateRecieved IS NULL OR to_char(CAST(DateRecieved AS date), 'YYYY-MM-DD') = DateRecieved),
    PastDue        NUMERIC(15, 2),
    AmountBilled   NUMERIC(15, 2),
    AmountRecieved NUMERIC(15, 2)
);

CREATE TABLE tbl_Logs (
    AccountNumber       TEXT COLLATE "C" NOT NULL,
    Balance             NUMERIC(15, 2),
    LastUnitDescription TEXT,
    DateCreated         TEXT CHECK (DateCreated IS NULL OR to_char(CAST(DateCreated AS date), 'YYYY-MM-DD') = DateCreated),
    DateLastUpdated     TEXT CHECK (DateLastUpdated IS NULL OR to_char(CAST(DateLastUpdated AS date), 'YYYY-MM-DD') = DateLastUpdated)
);

CREATE UNIQUE INDEX idx_Profile_Account ON tbl_CustomerProfile (AccountNumber);
CREATE INDEX idx_Profile_Master ON tbl_CustomerProfile (MasterAccount);
CREATE UNIQUE INDEX idx_Invoices_Number ON tbl_Invoices (InvoiceNumber);
CREATE INDEX idx_Invoices_Account ON tbl_Invoices (AccountNumber);
CREATE UNIQUE INDEX idx_Logs_Account ON tbl_Logs (AccountNumber);

-- The version of these tables; a program refuses a book made for a newer one.
CREATE TABLE tbl_Schema (Version INTEGER NOT NULL);
INSERT INTO tbl_Schema VALUES (1);

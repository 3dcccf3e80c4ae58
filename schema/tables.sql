-- The three tables of a Pellory book. Readers take columns by position and record
-- appends fill them by position, so the column order here is part of the file format.
-- Every column whose name begins with "Date" holds an ISO date (yyyy-MM-dd) or NULL;
-- the data layer relies on that naming when it converts values for an append.

CREATE TABLE tbl_CustomerProfile (
    AccountNumber     TEXT NOT NULL,
    MasterAccount     TEXT,
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
    PaymentAmount     REAL,
    UnitPrice         REAL,
    PayableTo         TEXT,
    BillAddress1      TEXT,
    BillAddress2      TEXT,
    BillAddress3      TEXT,
    BillAddress4      TEXT,
    BillCycle         INTEGER,
    Reserved          INTEGER,
    MonthDay          TEXT,
    GraceDays         INTEGER,
    RecievingAddress1 TEXT,
    RecievingAddress2 TEXT,
    RecievingAddress3 TEXT,
    RecievingAddress4 TEXT
) STRICT;

CREATE TABLE tbl_Invoices (
    InvoiceNumber  TEXT NOT NULL,
    AccountNumber  TEXT,
    DateBilled     TEXT CHECK (DateBilled IS NULL OR date(DateBilled) IS DateBilled),
    CheckNumber    TEXT,
    DateDue        TEXT CHECK (DateDue IS NULL OR date(DateDue) IS DateDue),
    DateRecieved   TEXT CHECK (DateRecieved IS NULL OR date(DateRecieved) IS DateRecieved),
    PastDue        REAL,
    AmountBilled   REAL,
    AmountRecieved REAL
) STRICT;

CREATE TABLE tbl_Logs (
    AccountNumber       TEXT NOT NULL,
    Balance             REAL,
    LastUnitDescription TEXT,
    DateCreated         TEXT CHECK (DateCreated IS NULL OR date(DateCreated) IS DateCreated),
    DateLastUpdated     TEXT CHECK (DateLastUpdated IS NULL OR date(DateLastUpdated) IS DateLastUpdated)
) STRICT;

-- Account and invoice numbers are unique keys; the other indexes keep lookups fast on large books.
CREATE UNIQUE INDEX idx_Profile_Account ON tbl_CustomerProfile (AccountNumber);
CREATE INDEX idx_Profile_Master ON tbl_CustomerProfile (MasterAccount);
CREATE UNIQUE INDEX idx_Invoices_Number ON tbl_Invoices (InvoiceNumber);
CREATE INDEX idx_Invoices_Account ON tbl_Invoices (AccountNumber);
CREATE UNIQUE INDEX idx_Logs_Account ON tbl_Logs (AccountNumber);

-- The version of these tables; a program refuses a book made for a newer one.
PRAGMA user_version = 1;

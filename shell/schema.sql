-- The recipe book's database: tables and the rows the app expects to find.
-- The build turns this file into larderon_db.rsd beside the executable, only when that file is missing.

-- Names sort and compare without regard to letter case, as a reader of a recipe book expects;
-- the indexes let the name-ordered recipe list be read without a sort.
CREATE TABLE Category (
    CategoryId INTEGER PRIMARY KEY,
    Name TEXT NOT NULL DEFAULT '' COLLATE NOCASE
);

CREATE TABLE Recipe (
    RecipeId INTEGER PRIMARY KEY,
    Name TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    CategoryId INTEGER NOT NULL DEFAULT 1,
    Directions TEXT NOT NULL DEFAULT ''
);
CREATE INDEX RecipeByName ON Recipe (Name);
CREATE INDEX RecipeByCategory ON Recipe (CategoryId, Name);

CREATE TABLE Preferences (
    Id INTEGER PRIMARY KEY,
    PageSetup TEXT NOT NULL DEFAULT ''
);

-- The default category: it keeps the recipes of a deleted category and can be neither renamed
-- nor deleted from the window.
INSERT INTO Category (CategoryId, Name) VALUES (1, 'General');
INSERT INTO Preferences (Id, PageSetup) VALUES (1, '');

#pragma once

// The LIKE operator of every connection the database layer opens: the engine's own folds letter
// case for A-Z only, so "É" would not find "é". This one folds every letter that Unicode's simple
// case folding pairs one to one (Latin, Greek, Cyrillic, Armenian, Cherokee and the rest); "%"
// and "_" and the ESCAPE form keep their meaning, and "_" takes one character, not one byte.
// A letter never matches a different letter: "e" does not find "é", "ss" does not find "ß", nor
// "fi" the ligature "ﬁ".
//
// The engine turns "Name LIKE 'abc%'" into a range scan of a NOCASE index only for its own LIKE;
// with this one in place such a search reads the whole index, as "contains" always does.

struct sqlite3;

// Puts like(pattern, text) and like(pattern, text, escape) in place of the engine's own on db;
// returns the engine's result code.
int RegisterFoldingLike(sqlite3* db);

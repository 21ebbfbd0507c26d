/* Seed data. Paper titles compare without letter case: the column is declared UNICODE_CI in the schema. */
INSERT INTO Groups (Title) Values ('Favorites');
--@@
INSERT INTO Journals (Title) Values ('Patents');
--@@
INSERT INTO Journals (Title) Values ('Dissertations');
--@@
INSERT INTO Templates (Title) Values ('Thin Solid Films');
--@@
INSERT INTO TemplFields (TID, TTYPE, TVALUE) Values (1 , 'J', '%fn, %ja %jv [(%ji)] (%jy) %pe.');
--@@
INSERT INTO TemplFields (TID, TTYPE, TVALUE) Values (1 , 'B', '%fn. %pt, %pb %cy (%jy)');
--@@
INSERT INTO TemplFields (TID, TTYPE, TVALUE) Values (1 , 'O', '%fn, %pt. %ja [%jv] %ps-%pe (%jy)');
--@@
INSERT INTO Templates (Title) Values ('Surface and Coatings Technology');
--@@
INSERT INTO TemplFields (TID, TTYPE, TVALUE) Values (2 , 'J', '%fn, %pt, %ja %jv (%jy) %ps.');
--@@
INSERT INTO TemplFields (TID, TTYPE, TVALUE) Values (2 , 'B', '%fn. %pt, %pb %cy (%jy)');
--@@
INSERT INTO TemplFields (TID, TTYPE, TVALUE) Values (2 , 'O', '%fn, %pt. %ja [%jv] %ps-%pe (%jy)');
--@@
INSERT INTO Templates (Title) Values ('Tribology International');
--@@
INSERT INTO TemplFields (TID, TTYPE, TVALUE) Values (3 , 'J', '%ln: %pt. %ja %jv, %ps-%pe (%jy)');
--@@
INSERT INTO TemplFields (TID, TTYPE, TVALUE) Values (3 , 'B', '%fn: %pt, %jt, %ja (%jy)');
--@@
INSERT INTO TemplFields (TID, TTYPE, TVALUE) Values (3 , 'O', '%ln: %pt. %ja [%jv] %ps-%pe (%jy)');
--@@
INSERT INTO Templates (Title) Values ('Carbon');
--@@
INSERT INTO TemplFields (TID, TTYPE, TVALUE) Values (4 , 'J', '%ld. %pt. %jd %jy; \b %jv\b0[(%ji)]:%ps-%pe.');
--@@
INSERT INTO TemplFields (TID, TTYPE, TVALUE) Values (4 , 'B', '%ld. %pt. %cy: %pb; %jy.');
--@@
INSERT INTO TemplFields (TID, TTYPE, TVALUE) Values (4 , 'O', '%ln: %pt. %ja [%jv] %ps-%pe (%jy)');

CREATE TABLE A (ID INTEGER);
--@@
/* note */
INSERT INTO A VALUES (1);
--@@

CREATE TABLE [a b] (x);
GO
create table if not exists "q" (y)
  go  
/* ; */ SELECT 1;;

#!/bin/sh
# Writes the log files the log tests read. The bytes are committed; run this only to regenerate them.
set -e
cd "$(dirname "$0")"

# A log of an earlier version: no header line, two-digit years.
printf '\24196/07/04\t6.2 Miles\t00:45:10\tHot day\r\n' >old-headerless.pql
printf '\24103/07/04\t10 Kilometers\t00:50:00\tFirst line\r\nSecond line\r\n' >>old-headerless.pql
printf '\241No Date\t1 Marathons\t03:30:00\tNone\r\n' >>old-headerless.pql
printf '\24179/12/31\t3 Miles\t00:21:00\tNone\r\n' >>old-headerless.pql
printf '\24180/01/01\t4 Miles\t00:30:00\tNew year\r\n' >>old-headerless.pql

# A current log: header line, four-digit years, a two-line note and a no-break space.
printf 'Pacequill version 3.1 log file format\r\n' >current.pquil
printf '\2411996/07/04\t6.2 Miles\t00:45:10\tHot day\r\n' >>current.pquil
printf '\2412003/07/04\t10 Kilometers\t00:50:00\tFirst line\r\nSecond line\r\n' >>current.pquil
printf '\241No Date\t1 Marathons\t03:30:00\tNone\r\n' >>current.pquil
printf '\2412024/03/01\t5 Miles\t00:40:00\tEasy\240pace\r\n' >>current.pquil

# A damaged log: a NUL inside a record, an over-long chunk, an empty record, random bytes, and a last record
# cut off before its CR LF.
printf 'Pacequill version 3.1 log file format\r\n' >damaged.pquil
printf '\2412001/01/01\t5 Miles\t00:40:00\tbefore NUL\000after NUL\t\r\n' >>damaged.pquil
printf '\241' >>damaged.pquil
head -c 1000 /dev/zero | tr '\000' 'x' >>damaged.pquil
printf '\r\n\241\r\n' >>damaged.pquil
printf '\241\377\376\001\t\200\r\n' >>damaged.pquil
printf '\2412002/02/02\t3 Miles\t00:20:00\tcut off\n' >>damaged.pquil

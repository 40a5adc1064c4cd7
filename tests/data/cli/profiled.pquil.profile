# Shoes and goals of profiled.pquil
shoe @pegasus limit 20 km start 100 mi default   # bought used
shoe @Kinvara retired 2025/07/05
shoe @Spare start 12.5 km
shoe @Vaporfly limit 5 mi

goal year 1000 mi
goal month 100 km tag tempo
goal week 30 mi
goal 500 km from 2025/01/06 thru 2025/04/27
goal 100 mi from 2025/08/01 thru 2025/08/31
week-start sunday
goals are fun
shoe @Other default

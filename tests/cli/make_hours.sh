# Sourced by end-to-end cases: a data directory of hourly files 26010700 to 26010712,
# each holding one METAR of station KTST whose time group names its hour.
mkdir -p data
for h in 00 01 02 03 04 05 06 07 08 09 10 11 12; do
  printf '\001\r\r\n123 \r\r\nSAUS70 KWBC 07%s00\r\r\nMETAR KTST 07%s00Z 27010KT 10SM CLR 01/M05 A3001=\r\r\n\003' $h $h > data/260107${h}_sao.wmo
done
export zypdata=data zypcurtime=#202601071230

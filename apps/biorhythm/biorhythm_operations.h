// The named operations of the biorhythm window "bioform". Its controls call
// them; so do the tests.
#pragma once

void XSTANDAR();         // initialisation: the stored birth date, today, the line chart
void DRAWLINESGRAPH();   // "3D"
void DRAWBARGRAPH();     // "Säulen"
void DRAWPOINTSGRAPH();  // "Punkte"
void SAVE_GEBUR();       // stores the birth date of Text_3 in "geburt.dbf"
void PRINT_ME();         // prints the chart through the print dialog and the preview

// The biorhythm: window "bioform" charting the physical, emotional and
// intellectual cycles for ten days from a chosen date, computed from the birth
// date stored in "geburt.dbf", as 3D lines, 3D bars or points, and printed.
#pragma once

void OPENBIO();  // opens the window (modal)

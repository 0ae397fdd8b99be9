// The statistics of the main window: how many records each application holds
// and how many birthdays, appointments, notes and project deadlines fall on
// today's day and month (of any year).
//
// HAUPT_STATISTIK is the main window's initialisation and its refresh: it
// applies the stored language, re-labels the window, counts the ten tables
// (where they lie, two at a time on threads of their own, statistic_count.h;
// a table holding records marked deleted is packed first and counted through
// its work area), shows the counts in the catalogue's order, the own
// application's name and the stored birth date, stamps the time of the run
// and refreshes the system facts.
// "Today" is the store's DATE(), so a test can fix it. A missing table ends
// the program through the fault handler in the step that opens it.
#pragma once

#include <functional>

void HAUPT_STATISTIK();

// Runs `step` once, as soon as the event loop is free after the next run of
// the statistics: what the start of the program does once the main window
// shows its figures in the stored language.
void AFTER_NEXT_STATISTICS(std::function<void()> step);

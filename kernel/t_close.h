// T_CLOSE: closes every open table and does nothing else. Every application
// calls it first, so that each starts with no table open.
#pragma once

void T_CLOSE();

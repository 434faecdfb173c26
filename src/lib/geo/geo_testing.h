// Test hooks of the geo module: domains, regions, map projections, shore lines.
#pragma once

/// Test hook: initial state: priorities, menu, no station look-up.
void DOM_reset_state();
/// Test hook: the region menu as before any read.
void DOM_reset_menu();
/// Test hook: no domain current, initial constants and factors.
void MAP_reset_state();
/// Test hook: forgets the shore files read and the warnings given.
void MAP_shore_reset_state();

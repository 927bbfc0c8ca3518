#pragma once

// WriteEntries, kept with the other data workbook fixtures.
#include "support/entry_rows.h"

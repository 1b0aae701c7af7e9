#include "report/statistics.h"
#include <gtest/gtest.h>

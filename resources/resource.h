// String table ids of the library's resources.
#pragma once

#define IDS_DESCRIPTION 1000
#define IDS_CATEGORY 1001

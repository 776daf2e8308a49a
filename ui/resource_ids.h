#pragma once

#define IDI_TANDREL64 118

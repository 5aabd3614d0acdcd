#pragma once

#define IDR_REGISTRAR_TEST 9101

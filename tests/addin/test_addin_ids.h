#pragma once
// What the test add-in registers, shared with the tests that check it.

#define kTestStampBitmap 501
#define kTestStampMenuText L"&Test スタンプ\tテスト用のスタンプを押します\tTest スタンプ"

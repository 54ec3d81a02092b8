#include <gtest/gtest.h>

#include "datetime.h"

using namespace telvarim;

TEST(DateTime, FormatsOfLogsNamesAndRecords) {
  DataHora t{2007, 3, 5, 14, 9, 7};
  EXPECT_EQ(FormataDataHora(t), "05/03/2007 14:09:07");
  EXPECT_EQ(FormataDDMMYY(t), "050307");
  EXPECT_EQ(FormataHHNNSS(t), "140907");
  EXPECT_EQ(FormataYYMMDDHHNN(t), "0703051409");
}

TEST(DateTime, SecondsCarryAcrossDaysMonthsAndYears) {
  EXPECT_EQ(FormataDataHora(SomaSegundos({2024, 2, 28, 23, 59, 59}, 1)), "29/02/2024 00:00:00");
  EXPECT_EQ(FormataDataHora(SomaSegundos({2023, 12, 31, 23, 59, 30}, 45)), "01/01/2024 00:00:15");
  EXPECT_EQ(FormataDataHora(SomaSegundos({2024, 3, 1, 0, 0, 0}, -1)), "29/02/2024 23:59:59");
}

TEST(DateTime, FixedClockAdvancesByItsStep) {
  RelogioFixo r({2026, 12, 10, 11, 0, 0}, 60);
  EXPECT_EQ(FormataYYMMDDHHNN(r.Agora()), "2612101100");
  EXPECT_EQ(FormataYYMMDDHHNN(r.Agora()), "2612101101");
}

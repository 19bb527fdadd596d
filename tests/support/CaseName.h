#pragma once

#include <gtest/gtest.h>

#include <string>

// Names a parameterised case after the `name` field of its row.
struct CaseName {
    template <class Row>
    std::string operator()(const testing::TestParamInfo<Row>& row) const
    {
        return row.param.name;
    }
};

// A model where level of detail means something: an office block of about
// 30,000 triangles (storeys of walls with window openings, floor slabs, 300
// materials) placed on a grid of about 180 by 180 instances.
#pragma once

#include "model/construction_model.hpp"

namespace kon2x::bench {

struct BuildingShape {
    int bays_long = 40;  // windows along the long side, per storey
    int bays_deep = 24;  // along the short side
    int storeys = 12;
    int columns = 180;  // instances along x
    int instances = 32400;
};

ConstructionModel make_building_model(const BuildingShape& shape = {});

}  // namespace kon2x::bench

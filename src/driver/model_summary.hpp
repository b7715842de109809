// The counts of a construction file, for the page that shows it.
#pragma once

namespace kon2x {

// Loads the file named by argv[1] silently (the converters show the messages)
// and writes one line of JSON to standard output: an object with these
// members, in this order. Returns 0, or 1 (writing nothing) when the
// arguments are wrong or the file does not load.
//
// | member               | value                                                      |
// |----------------------|------------------------------------------------------------|
// | "kind"               | the model's kind, 0 or 1                                   |
// | "points"             | the number of points                                       |
// | "single_points"      | the number of elements of 1 point                          |
// | "two_point_elements" | of 2 points                                                |
// | "triangles"          | of 3 points                                                |
// | "quads"              | of 4 points                                                |
// | "polygons"           | of more points                                             |
// | "instances"          | the number of instances                                    |
// | "unplaced"           | [n, ...]: the instances that kon2gltf cannot place         |
// | "x_name"             | the file name kon2x gives its output                       |
// | "instance_values"    | [{...}, ...]: per instance, in order:                      |
// |   "scale"            |   its three scale factors as the file holds them (strings) |
// |   "angles"           |   its three angles in degrees (strings)                    |
// |   "offset"           |   [x, y, z]: its integer offset                            |
// |   "mirrors"          |   true where the scale factors' product is negative        |
// |   "problem"          |   why kon2gltf cannot place it; only where it cannot       |
// | "elements"           | the point numbers of the elements:                         |
// |   "dots"             |   [p, ...]: the single points                              |
// |   "lines"            |   [p, q, ...]: the two-point elements, pair after pair     |
// |   "faces"            |   [[p, q, r, ...], ...]: each larger face in its order     |
//
// The strings of "scale" and "angles" hold the shortest exact decimal text
// of the value, or "inf", "-inf" and "NaN", which JSON has no numbers for.
int print_model_summary(int argc, const char* const* argv);

}  // namespace kon2x

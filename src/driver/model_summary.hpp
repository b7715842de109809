// The counts of a construction file, for the page that shows it.
#pragma once

namespace kon2x {

// Loads the file named by argv[1] silently (the converters show the messages)
// and writes its counts as one line of JSON to standard output: "kind",
// "points", "single_points", "two_point_elements", "triangles", "quads",
// "polygons" and "instances"; "unplaced", the numbers of the instances that
// kon2gltf cannot place; "x_name", the file name kon2x gives its output;
// "instance_values", per instance its "scale" factors and "angles" (degrees)
// as the file holds them (JSON strings: shortest exact text, "inf", "-inf",
// "NaN"), its integer "offset", whether it "mirrors", and the "problem" that
// keeps kon2gltf from placing it, where there is one; "elements", the point
// numbers of the single points ("dots"), of the two-point elements ("lines",
// pair after pair) and of each larger face in order ("faces"). Returns 0,
// or 1 (writing nothing) when the arguments are wrong or the file does not load.
int print_model_summary(int argc, const char* const* argv);

}  // namespace kon2x

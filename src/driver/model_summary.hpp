// The page's one run on a construction file: its .glb and its counts.
#pragma once

namespace kon2x {

// kon2info INPUT FACTS: converts INPUT exactly as kon2gltf does (the same
// console, .glb and exit status) and, once the file has loaded and been
// accepted, writes its facts to the file FACTS: one line of JSON, an object
// with these members, in this order. With other arguments it returns 1 and
// writes nothing. A FACTS that cannot be written is left out silently (the
// page then has no counts).
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
// | "materials"          | the distinct materials, as the mesh writers number them    |
// | "unplaced"           | [n, ...]: the instances that kon2gltf cannot place         |
// | "x_name"             | the file name kon2x gives its output                       |
// | "glb_note"           | the note kon2gltf shows once the .glb is written, or ""    |
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
//
// With `counts_only` (kon2counts, for the page's batch, which keeps only the
// counts of each file) the object ends after "glb_note".
int convert_with_summary(int argc, const char* const* argv, bool counts_only = false);

}  // namespace kon2x

// Path-node files.
#include "forge/NodeFiles.h"

#include "core/Bytes.h"

namespace forge {

NodeLinkDef OpenLink(int target, int cost, int8_t height) {
  NodeLinkDef link;
  link.cost = cost;
  link.target = target;
  for (auto& group : link.groups) group = {1, height, height};
  link.smallest = {0, 0};
  return link;
}

std::vector<uint8_t> NodeFileBytes(const std::vector<NodeDef>& nodes) {
  bytes::Writer out;
  out.Bytes("VRASK NODES\0", 12);
  out.U32(static_cast<uint32_t>(nodes.size()));
  for (const NodeDef& node : nodes) {
    size_t start = out.Size();
    out.I32(1);  // in use
    out.I32(0);
    out.I32(node.x);
    out.I32(node.y);
    out.I32(node.level);
    for (size_t i = 0; i < 18; ++i) {
      NodeLinkDef link = i < node.links.size() ? node.links[i] : NodeLinkDef{};
      out.I32(link.cost);
      out.I32(link.target);
      for (const auto& group : link.groups)
        for (int8_t v : group) out.I8(v);
      out.I8(link.smallest[0]);
      out.I8(link.smallest[1]);
    }
    out.Zeros(8);
    out.I32(node.topOfColumn);
    out.Zeros(494 - (out.Size() - start));
  }
  out.Zeros(8);
  return out.Data();
}

}  // namespace forge

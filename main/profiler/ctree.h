#pragma once

#include <memory>
#include <utility>
#include <vector>

// A reference-counted tree. A CTree is a handle: copying it shares the node,
// and the last handle to a node deletes it with its subtree. Children are
// held by their parent; a child only observes its parent, so the tree has no
// ownership cycle.
template <typename T>
class CTree {
public:
    // A tree of one node, the root, holding value.
    explicit CTree(T value) : m_node(std::make_shared<NodeData>(std::move(value))) {}

    // Appends a child holding value at the end of this node's children and
    // returns its handle.
    CTree AddChild(T value) const
    {
        CTree child(std::move(value));
        child.m_node->parent = m_node;
        m_node->children.push_back(child);
        return child;
    }

    // The parent of this node; the root's parent is the root itself.
    CTree Parent() const
    {
        if (std::shared_ptr<NodeData> parent = m_node->parent.lock())
            return CTree(std::move(parent));
        return *this;
    }

    bool IsRoot() const { return m_node->parent.expired(); }
    const T& Value() const { return m_node->value; }
    std::size_t ChildCount() const { return m_node->children.size(); }
    const CTree& Child(std::size_t i) const { return m_node->children[i]; }

private:
    struct NodeData {
        explicit NodeData(T v) : value(std::move(v)) {}
        T value;
        std::vector<CTree> children;
        std::weak_ptr<NodeData> parent;
    };
    explicit CTree(std::shared_ptr<NodeData> node) : m_node(std::move(node)) {}

    std::shared_ptr<NodeData> m_node;
};

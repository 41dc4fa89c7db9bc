#include "catalogue/tree/csubtree.h"

#include "catalogue/tree/ctreeitem.h"

#include <algorithm>

namespace tv {

// ---- CSortedSubtrees ----

void CSortedSubtrees::Add(std::shared_ptr<CSubTree> subtree, const QString& key)
{
    subtree->KeyStr = key;
    auto pos = std::find_if(items_.begin(), items_.end(), [&](const std::shared_ptr<CSubTree>& s) {
        return s->ParentIndex > subtree->ParentIndex;
    });
    items_.insert(pos, std::move(subtree));
}

std::shared_ptr<CSubTree> CSortedSubtrees::Item(const QString& key) const
{
    for (const auto& s : items_)
        if (s->KeyStr == key) return s;
    return nullptr;
}

void CSortedSubtrees::Remove(const QString& key)
{
    auto pos = std::find_if(items_.begin(), items_.end(),
                            [&](const std::shared_ptr<CSubTree>& s) { return s->KeyStr == key; });
    if (pos != items_.end()) items_.erase(pos);
}

void CSortedSubtrees::Resort()
{
    std::stable_sort(items_.begin(), items_.end(),
                     [](const std::shared_ptr<CSubTree>& a, const std::shared_ptr<CSubTree>& b) {
                         return a->ParentIndex < b->ParentIndex;
                     });
}

// ---- events: the root raises them, every other subtree passes them up ----

void CSubTree::RaiseSelectionChange()
{
    if (auto parent = Parent.lock()) parent->RaiseSelectionChange();
    else SelectionChange.raise();
}

void CSubTree::RaiseSubItemSelect(std::shared_ptr<CTreeItem>& item)
{
    if (auto parent = Parent.lock()) parent->RaiseSubItemSelect(item);
    else SubItemSelect.raise(item);
}

std::shared_ptr<CTreeLevels> CSubTree::FetchLevels()
{
    if (auto parent = Parent.lock()) return parent->FetchLevels();
    std::shared_ptr<CTreeLevels> levels;
    LevelInfo.raise(levels);
    return levels;
}

void CSubTree::RaiseRedraw(int mode)
{
    if (auto parent = Parent.lock()) parent->RaiseRedraw(mode);
    else Redraw.raise(mode);
}

std::shared_ptr<CSubTree> CSubTree::GetRootTree()
{
    auto tree = shared_from_this();
    while (auto parent = tree->Parent.lock()) tree = parent;
    return tree;
}

// ---- rows ----

bool CSubTree::IsParent(int index)
{
    auto levels = FetchLevels();
    if (!levels) return false;
    if (levels->PlusMinusMode() != 0) return flags.Get(index, fExpandable);
    if (Level < levels->Count()) {
        if (const CDistinctBuffer* buffer = levels->ParentBuffer(Level))
            return buffer->Contains(NodeKey(index));
    }
    return false;
}

void CSubTree::createFlags()
{
    auto levels = FetchLevels();
    const bool expandable = levels && levels->PlusMinusMode() != 0 && Level < levels->Count();
    flags.Create(NodesCountEx(), expandable ? fExpandable : 0);
}

void CSubTree::markEnds()
{
    if (root_) flags.Set(0, fRootItem, true);
    flags.Set(NodesCountEx() - 1, fLastItem, true);
}

bool CSubTree::Create(const std::shared_ptr<CSubTree>& parent, const QString& parentKey, int parentIndex)
{
    Parent = parent;
    root_ = !parent;
    VisibleCount = -1;
    Level = parent ? parent->Level + 1 : 1;
    KeyStr = parent ? parentKey : QString();
    ParentIndex = parent ? parentIndex : -1;
    auto levels = FetchLevels();
    Nodes = levels ? levels->Getnodes(Level, KeyStr) : nullptr;
    if (!Nodes || Nodes->Count() == 0) {
        Nodes.reset();
        return false;
    }
    createFlags();
    markEnds();
    return true;
}

Variant CSubTree::NodeKey(int index) const { return Nodes ? Nodes->Value(index, 0) : Variant::null(); }

QString CSubTree::NodeText(int index) const { return Nodes ? Nodes->Value(index, 3).text() : QString(); }

Variant CSubTree::GetFieldValue(const QString& fieldName, int index) const
{
    return Nodes ? Nodes->FieldValue(index, fieldName) : Variant::null();
}

void CSubTree::TreeItemData(int index, QString& key, QString& text, int& level, int& icon, uint8_t& flagByte,
                            QString& parentKey) const
{
    key = NodeKey(index).text();
    text = NodeText(index);
    level = Level;
    icon = Nodes ? Nodes->Value(index, 2).toInt() : 0;
    flagByte = flags.Item(index);
    parentKey = Nodes ? Nodes->Value(index, 1).text() : QString();
}

int CSubTree::FindLocalIndex(const QString& key) const
{
    for (int i = 0; i < NodesCountEx(); ++i)
        if (TreeKeyMatches(Nodes->Value(i, 0), key)) return i;
    return -1;
}

int CSubTree::FindString(const QString& text, std::shared_ptr<CSubTree>& subtree)
{
    for (int i = 0; i < NodesCountEx(); ++i) {
        if (NodeText(i).contains(text, Qt::CaseInsensitive)) {
            subtree = shared_from_this();
            return GetAbsoluteIndex(i);
        }
    }
    return -1;
}

// ---- expanding and collapsing ----

bool CSubTree::InsertSubtree(int index)
{
    const QString key = NodeKey(index).text();
    auto child = std::make_shared<CSubTree>();
    if (!child->Create(shared_from_this(), key, index)) return false;
    SubTrees.Add(child, key);
    AdjustCount(child->NodesCount(false));
    flags.Set(index, fExpanded, true);
    return true;
}

void CSubTree::RemoveSubtree(int index)
{
    const QString key = NodeKey(index).text();
    if (auto child = SubTrees.Item(key)) {
        const int n = child->NodesCount(false);
        SubTrees.Remove(key);
        AdjustCount(-n);
    }
    flags.Set(index, fExpanded, false);
}

std::shared_ptr<CSubTree> CSubTree::Expand(int index)
{
    if (index < 0 || !IsParent(index)) return nullptr;
    if (!flags.Get(index, fExpanded) && !InsertSubtree(index)) return nullptr;
    return SubTrees.Item(NodeKey(index).text());
}

void CSubTree::Collapse(int index)
{
    if (flags.Get(index, fExpanded)) RemoveSubtree(index);
}

void CSubTree::ExpandAll()
{
    for (int i = 0; i < NodesCountEx(); ++i) {
        if (!IsParent(i)) continue;
        if (!flags.Get(i, fExpanded)) InsertSubtree(i);
        if (auto child = SubTrees.Item(NodeKey(i).text()))
            child->ExpandAll();
        else
            flags.Set(i, fExpandable, false);   // its level has no rows for it
    }
}

std::shared_ptr<CSubTree> CSubTree::CascadeExpand(QStringList& keyPath)
{
    if (keyPath.isEmpty()) return shared_from_this();
    auto child = Expand(keyPath.first());
    if (!child) return nullptr;
    keyPath.removeFirst();
    return child->CascadeExpand(keyPath);
}

std::shared_ptr<CTreeItem> CSubTree::CascadeExpandEx(QStringList& keyPath)
{
    auto subtree = CascadeExpand(keyPath);
    return subtree ? CTreeItem::Make(subtree->ResultNode, subtree) : nullptr;
}

// ---- counting and row arithmetic ----

int CSubTree::NodesCount(bool recount)
{
    if (recount || VisibleCount == -1) {
        int n = NodesCountEx();
        for (const auto& child : SubTrees) n += child->NodesCount(recount);
        VisibleCount = n;
    }
    return VisibleCount;
}

void CSubTree::AdjustCount(int delta)
{
    if (VisibleCount == -1) return;
    VisibleCount += delta;
    if (auto parent = Parent.lock()) parent->AdjustCount(delta);
}

std::shared_ptr<CSubTree> CSubTree::FindSubTree(int absolute, int offset)
{
    int base = offset >= 0 ? offset + 1 : 0;
    for (const auto& child : SubTrees) {
        if (base + child->ParentIndex >= absolute) break;
        const int n = child->NodesCount(false);
        if (base + child->ParentIndex + n >= absolute) return child->FindSubTree(absolute, base + child->ParentIndex);
        base += n;
    }
    ResultNode = absolute - base;
    return shared_from_this();
}

std::shared_ptr<CTreeItem> CSubTree::FindTreeItem(int absolute)
{
    auto root = GetRootTree();
    if (absolute < 0 || absolute > root->NodesCount(false) - 1) return nullptr;
    auto subtree = root->FindSubTree(absolute);
    return CTreeItem::Make(subtree->ResultNode, subtree);
}

int CSubTree::GetAbsoluteIndex(int local)
{
    int result = local;
    for (const auto& child : SubTrees) {
        if (child->ParentIndex >= local) break;
        result += child->NodesCount(false);
    }
    if (auto parent = Parent.lock()) result += parent->GetAbsoluteIndex(ParentIndex) + 1;
    return result;
}

std::shared_ptr<CSubTree> CSubTree::NextSubtree()
{
    auto parent = Parent.lock();
    if (!parent) return nullptr;
    if (parent->flags.Get(ParentIndex, fLastItem)) return parent->NextSubtree();
    parent->ResultNode = ParentIndex + 1;
    return parent;
}

// ---- selection ----

bool CSubTree::FindSelectedItem(int& index, std::shared_ptr<CSubTree>& subtree)
{
    if (!SelKey.isEmpty()) {
        const int found = FindLocalIndex(SelKey);
        if (found >= 0) {
            index = found;
            subtree = shared_from_this();
            return true;
        }
        SelKey.clear();
        return false;
    }
    for (const auto& child : SubTrees)
        if (child->FindSelectedItem(index, subtree)) return true;
    return false;
}

void CSubTree::nSelectItem(int index)
{
    SelKey = NodeKey(index).text();
    flags.Set(index, fSelected, true);
}

void CSubTree::SelectItem(int index)
{
    int selected = -1;
    std::shared_ptr<CSubTree> holder;
    if (GetRootTree()->FindSelectedItem(selected, holder)) {
        holder->SelKey.clear();
        holder->flags.Set(selected, fSelected, false);
    }
    nSelectItem(index);
}

void CSubTree::keepSelectionOf(const std::shared_ptr<CSubTree>& child, int index)
{
    int selected = -1;
    std::shared_ptr<CSubTree> holder;
    if (NodesCountEx() == 0 || !child->FindSelectedItem(selected, holder)) return;
    nSelectItem(std::min(index, NodesCountEx() - 1));
    RaiseSelectionChange();
}

// ---- re-reading ----

int CSubTree::Requery()
{
    const int oldSelection = SelKey.isEmpty() ? -1 : FindLocalIndex(SelKey);
    const int oldCount = NodesCountEx();
    auto levels = FetchLevels();
    Nodes = levels ? levels->Getnodes(Level, KeyStr) : nullptr;
    // The flags start as at creation (expandable in plus/minus mode), so that the
    // expand marks survive; expansion and selection are restored by key below.
    createFlags();
    const int count = NodesCountEx();
    if (count != oldCount) AdjustCount(count - oldCount);

    const std::vector<std::shared_ptr<CSubTree>> children(SubTrees.begin(), SubTrees.end());
    for (const auto& child : children) {
        const int index = FindLocalIndex(child->KeyStr);
        if (index < 0) {
            // The expanded row is gone, and its branch with it.
            const int oldIndex = child->ParentIndex;
            AdjustCount(-child->NodesCount(false));
            SubTrees.Remove(child->KeyStr);
            keepSelectionOf(child, oldIndex);
            continue;
        }
        // The child may select its parent row while it re-reads: it must know where that
        // row is now.
        child->ParentIndex = index;
        child->Requery();
        if (IsParent(index) && child->NodesCountEx() > 0) {
            flags.Set(index, fExpanded, true);
        } else {
            RemoveSubtree(index);
            keepSelectionOf(child, index);
        }
    }
    SubTrees.Resort();
    markEnds();

    if (!SelKey.isEmpty()) {
        if (count > 0) {
            const int index = FindLocalIndex(SelKey);
            if (index >= 0) {
                flags.Set(index, fSelected, true);
            } else {
                nSelectItem(std::clamp(oldSelection, 0, count - 1));
                RaiseSelectionChange();
            }
        } else {
            SelKey.clear();
            if (auto parent = Parent.lock()) {
                parent->nSelectItem(ParentIndex);
                RaiseSelectionChange();
            }
        }
    } else if (root_ && SubTrees.Count() == 0 && count > 0) {
        nSelectItem(0);
        RaiseSelectionChange();
        auto item = FindTreeItem(0);
        RaiseSubItemSelect(item);
    }
    return count;
}

} // namespace tv

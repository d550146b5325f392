#include "engine/impl/DomScript.h"

#include <duktape.h>

#include <algorithm>

#include "engine/impl/Css.h"
#include "engine/impl/EngineLog.h"
#include "engine/impl/HtmlParser.h"
#include "engine/impl/ScriptHeap.h"
#include "engine/impl/Utf.h"
#include "win/TextConversion.h"

namespace kvengine {
namespace {

// Hidden properties: the binding behind the natives, and the prelude's entry points.
constexpr const char kBindingKey[] = "\xFF" "kvDom";
constexpr const char kHooksKey[] = "\xFF" "kvDomHooks";
constexpr const char kNativesKey[] = "\xFF" "kvDomNatives";

// The part of the model written in script: wrappers around node ids, the
// style objects, events, timers and location. It reaches the document only
// through the natives `n`.
constexpr const char kPrelude[] = R"JS((function (n, global) {
'use strict';
var ID = Symbol('node'), LISTENERS = Symbol('listeners'), STYLE = Symbol('style');
var ONCLICK = Symbol('onclick'), ATTRIBUTE_HANDLER = Symbol('attributeHandler');
// Repeating timers wait at least this long between runs, as in browsers, so
// that an interval of 0 cannot keep the renderer's queue from everything else.
var MIN_INTERVAL_MS = 4;
var wrappers = {};

function report(x) {
    n.error(String(x), (x && x.lineNumber) || 0, (x && x.fileName) || '');
}
function accessor(proto, name, get, set) {
    Object.defineProperty(proto, name, {get: get, set: set, configurable: true, enumerable: true});
}
function wrap(id) {
    if (id === null || id === undefined) return null;
    var w = wrappers[id];
    if (w) return w;
    var kind = n.kind(id);
    if (kind < 0) return null;
    w = Object.create(kind === 0 ? DocumentProto : kind === 1 ? ElementProto : TextProto);
    Object.defineProperty(w, ID, {value: id});
    wrappers[id] = w;
    return w;
}
function idOf(node) {
    if (node === null || typeof node !== 'object' || node[ID] === undefined) throw new TypeError('parameter is not a node');
    return node[ID];
}
function list(ids) {
    var out = [];
    for (var i = 0; i < ids.length; i++) out.push(wrap(ids[i]));
    return out;
}
function query(root, selector, all) {
    var ids = n.query(root, String(selector), all);
    if (ids === null) throw new SyntaxError("'" + selector + "' is not a valid selector");
    return ids;
}
function expose(root) {
    var names = n.ids(root);
    for (var i = 0; i < names.length; i++) exposeName(names[i]);
}
// An element's id names it on the window, as in browsers, until a script gives the name a value of its own.
function exposeName(name) {
    if (Object.prototype.hasOwnProperty.call(global, name)) return;
    Object.defineProperty(global, name, {
        get: function () { return wrap(n.byId(name)); },
        set: function (v) { Object.defineProperty(global, name, {value: v, writable: true, configurable: true, enumerable: true}); },
        configurable: true
    });
}

var NodeProto = {};
accessor(NodeProto, 'parentNode', function () { return wrap(n.rel(this[ID], 4)); });
accessor(NodeProto, 'parentElement', function () { var p = wrap(n.rel(this[ID], 4)); return p && p.nodeType === 1 ? p : null; });
accessor(NodeProto, 'firstChild', function () { return wrap(n.rel(this[ID], 0)); });
accessor(NodeProto, 'lastChild', function () { return wrap(n.rel(this[ID], 1)); });
accessor(NodeProto, 'nextSibling', function () { return wrap(n.rel(this[ID], 2)); });
accessor(NodeProto, 'previousSibling', function () { return wrap(n.rel(this[ID], 3)); });
accessor(NodeProto, 'childNodes', function () { return list(n.children(this[ID], false)); });
accessor(NodeProto, 'nodeType', function () { return [9, 1, 3][n.kind(this[ID])]; });
accessor(NodeProto, 'textContent', function () { return n.text(this[ID]); },
         function (v) { n.setText(this[ID], v === null || v === undefined ? '' : String(v)); });
NodeProto.appendChild = function (child) { return this.insertBefore(child, null); };
NodeProto.insertBefore = function (child, reference) {
    var c = idOf(child);
    if (!n.insert(this[ID], c, reference === null || reference === undefined ? -1 : idOf(reference))) {
        throw new Error('HierarchyRequestError: the node cannot be inserted here');
    }
    if (n.connected(c)) expose(c);
    return child;
};
NodeProto.removeChild = function (child) {
    if (!n.remove(this[ID], idOf(child))) throw new Error('NotFoundError: the node is not a child of this node');
    return child;
};
NodeProto.hasChildNodes = function () { return n.rel(this[ID], 0) !== null; };
NodeProto.contains = function (other) {
    for (var id = other ? idOf(other) : null; id !== null; id = n.rel(id, 4)) if (id === this[ID]) return true;
    return false;
};
function addEventListener(type, listener) {
    if (typeof listener !== 'function' && !(listener && typeof listener.handleEvent === 'function')) return;
    var all = this[LISTENERS] || (this[LISTENERS] = {});
    var of = all[type] || (all[type] = []);
    if (of.indexOf(listener) >= 0) return;
    of.push(listener);
}
function removeEventListener(type, listener) {
    var of = this[LISTENERS] && this[LISTENERS][type];
    var at = of ? of.indexOf(listener) : -1;
    if (at >= 0) of.splice(at, 1);
}
NodeProto.addEventListener = addEventListener;
NodeProto.removeEventListener = removeEventListener;

function attributeAccessor(proto, property, attribute) {
    accessor(proto, property, function () { var v = n.attr(this[ID], attribute); return v === null ? '' : v; },
             function (v) { n.setAttr(this[ID], attribute, String(v)); if (attribute === 'id' && n.connected(this[ID])) exposeName(String(v)); });
}
function findAll(root, selector) { return list(query(root, selector, true)); }
function findOne(root, selector) { var ids = query(root, selector, false); return ids.length ? wrap(ids[0]) : null; }
function byClass(root, names) {
    var classes = String(names).trim().split(/\s+/);
    return classes[0] === '' ? [] : findAll(root, '.' + classes.join('.'));
}

var ElementProto = Object.create(NodeProto);
accessor(ElementProto, 'tagName', function () { return n.tag(this[ID]).toUpperCase(); });
accessor(ElementProto, 'nodeName', function () { return n.tag(this[ID]).toUpperCase(); });
attributeAccessor(ElementProto, 'id', 'id');
attributeAccessor(ElementProto, 'className', 'class');
attributeAccessor(ElementProto, 'href', 'href');
attributeAccessor(ElementProto, 'title', 'title');
ElementProto.getAttribute = function (name) { return n.attr(this[ID], String(name).toLowerCase()); };
ElementProto.hasAttribute = function (name) { return n.attr(this[ID], String(name).toLowerCase()) !== null; };
ElementProto.setAttribute = function (name, value) {
    var key = String(name).toLowerCase();
    n.setAttr(this[ID], key, String(value));
    if (key === 'id' && n.connected(this[ID])) exposeName(String(value));
};
ElementProto.removeAttribute = function (name) { n.removeAttr(this[ID], String(name).toLowerCase()); };
accessor(ElementProto, 'children', function () { return list(n.children(this[ID], true)); });
accessor(ElementProto, 'innerHTML', function () { return n.html(this[ID]); },
         function (v) { n.setHtml(this[ID], v === null || v === undefined ? '' : String(v)); if (n.connected(this[ID])) expose(this[ID]); });
accessor(ElementProto, 'innerText', function () { return n.text(this[ID]); },
         function (v) { n.setText(this[ID], v === null || v === undefined ? '' : String(v)); });
accessor(ElementProto, 'style', function () {
    var s = this[STYLE];
    if (!s) {
        s = Object.create(StyleProto);
        Object.defineProperty(s, ID, {value: this[ID]});
        this[STYLE] = s;
    }
    return s;
}, function (v) { n.setAttr(this[ID], 'style', String(v)); });
accessor(ElementProto, 'onclick', function () {
    if (this[ONCLICK] !== undefined) return this[ONCLICK];
    var code = n.attr(this[ID], 'onclick');
    if (code === null) return null;
    var cached = this[ATTRIBUTE_HANDLER];
    if (cached && cached.code === code) return cached.handler;
    var handler = null;
    try { handler = new Function('event', code); } catch (x) { report(x); }
    this[ATTRIBUTE_HANDLER] = {code: code, handler: handler};
    return handler;
}, function (v) {
    this[ONCLICK] = typeof v === 'function' ? v : null;
    if (typeof v === 'function') n.clickable(this[ID]);
});
ElementProto.getElementsByTagName = function (tag) { return list(n.byTag(this[ID], String(tag).toLowerCase())); };
ElementProto.getElementsByClassName = function (names) { return byClass(this[ID], names); };
ElementProto.querySelector = function (selector) { return findOne(this[ID], selector); };
ElementProto.querySelectorAll = function (selector) { return findAll(this[ID], selector); };
ElementProto.click = function () { hooks.click(this[ID]); };

var TextProto = Object.create(NodeProto);
accessor(TextProto, 'data', function () { return n.text(this[ID]); }, function (v) { n.setText(this[ID], String(v)); });
accessor(TextProto, 'nodeValue', function () { return n.text(this[ID]); }, function (v) { n.setText(this[ID], String(v)); });

var StyleProto = {};
['display', 'color', 'background-color', 'background', 'opacity', 'position', 'top', 'left', 'right', 'bottom',
 'width', 'height', 'z-index', 'margin', 'margin-top', 'margin-right', 'margin-bottom', 'margin-left', 'padding',
 'padding-top', 'padding-right', 'padding-bottom', 'padding-left', 'border', 'border-width', 'border-style',
 'border-color', 'border-top', 'border-right', 'border-bottom', 'border-left', 'font-size', 'font-weight',
 'text-align', 'cursor', 'white-space'].forEach(function (property) {
    var camel = property.replace(/-([a-z])/g, function (m, c) { return c.toUpperCase(); });
    accessor(StyleProto, camel, function () { return n.getStyle(this[ID], property); },
             function (v) { n.setStyle(this[ID], property, v === null || v === undefined ? '' : String(v)); });
});
accessor(StyleProto, 'cssText', function () { var v = n.attr(this[ID], 'style'); return v === null ? '' : v; },
         function (v) { n.setAttr(this[ID], 'style', String(v)); });
StyleProto.getPropertyValue = function (p) { return n.getStyle(this[ID], String(p).toLowerCase()); };
StyleProto.setProperty = function (p, v) { n.setStyle(this[ID], String(p).toLowerCase(), v === null || v === undefined ? '' : String(v)); };
StyleProto.removeProperty = function (p) { var old = this.getPropertyValue(p); this.setProperty(p, ''); return old; };

var DocumentProto = Object.create(NodeProto);
DocumentProto.getElementById = function (id) { return wrap(n.byId(String(id))); };
DocumentProto.createElement = function (tag) { return wrap(n.create(String(tag).toLowerCase())); };
DocumentProto.createTextNode = function (text) { return wrap(n.createText(String(text))); };
DocumentProto.getElementsByTagName = function (tag) { return list(n.byTag(0, String(tag).toLowerCase())); };
DocumentProto.getElementsByClassName = function (names) { return byClass(0, names); };
DocumentProto.querySelector = function (selector) { return findOne(0, selector); };
DocumentProto.querySelectorAll = function (selector) { return findAll(0, selector); };
accessor(DocumentProto, 'body', function () { return wrap(n.body(0)); });
accessor(DocumentProto, 'head', function () { return wrap(n.body(1)); });
accessor(DocumentProto, 'documentElement', function () { return wrap(n.body(2)); });
accessor(DocumentProto, 'title', function () { return n.title(); }, function (v) { n.setTitle(String(v)); });
accessor(DocumentProto, 'location', function () { return location; }, function (v) { n.navigate(String(v)); });

var location = {};
accessor(location, 'href', function () { return n.url(); }, function (v) { n.navigate(String(v)); });
location.assign = location.replace = function (url) { n.navigate(String(url)); };
location.reload = function () { n.reload(); };
location.toString = function () { return n.url(); };

function Event(type, target) {
    this.type = type;
    this.target = target;
    this.currentTarget = null;
    this.bubbles = true;
    this.cancelable = true;
    this.defaultPrevented = false;
    this.timeStamp = Date.now();
    this.button = 0;
    this.stopped = false;
    this.immediate = false;
}
Event.prototype.stopPropagation = function () { this.stopped = true; };
Event.prototype.stopImmediatePropagation = function () { this.stopped = this.immediate = true; };
Event.prototype.preventDefault = function () { this.defaultPrevented = true; };

function invoke(listener, self, event) {
    try {
        var result = typeof listener === 'function' ? listener.call(self, event) : listener.handleEvent(event);
        if (result === false) event.preventDefault();
    } catch (x) {
        report(x);
    }
}
// From the target up through its ancestors and the document to the window.
function dispatch(path, type) {
    var event = new Event(type, path[0]);
    for (var i = 0; i < path.length && !event.stopped; i++) {
        var node = path[i];
        event.currentTarget = node;
        var own = node['on' + type];
        if (typeof own === 'function') invoke(own, node, event);
        var of = node[LISTENERS] && node[LISTENERS][type];
        if (!of) continue;
        of = of.slice();
        for (var k = 0; k < of.length && !event.immediate; k++) invoke(of[k], node, event);
    }
    return !event.defaultPrevented;
}
function pathFrom(id) {
    var path = [];
    for (; id !== null; id = n.rel(id, 4)) path.push(wrap(id));
    if (path[path.length - 1] === document) path.push(global);
    return path;
}
function followLink(id) {
    for (; id !== null; id = n.rel(id, 4)) {
        if (n.kind(id) !== 1 || n.tag(id) !== 'a') continue;
        var href = n.attr(id, 'href');
        if (href === null || href.charAt(0) === '#') return;
        var script = /^\s*javascript:/i;
        if (script.test(href)) {
            try { (0, eval)(href.replace(script, '')); } catch (x) { report(x); }
        } else if (n.attr(id, 'target') === '_blank') {
            global.open(href, '_blank');
        } else {
            n.navigate(href);
        }
        return;
    }
}

var timers = {}, nextTimer = 1;
function schedule(callback, delay, extra, repeat) {
    if (typeof callback !== 'function') {
        var code = String(callback);
        callback = function () { (0, eval)(code); };
    }
    var id = nextTimer++;
    var ms = Math.max(0, Number(delay) || 0);
    if (repeat) ms = Math.max(ms, MIN_INTERVAL_MS);
    timers[id] = {callback: callback, args: extra, repeat: repeat ? ms : 0};
    n.setTimer(id, ms);
    return id;
}
function clearTimer(id) {
    if (!timers[id]) return;
    delete timers[id];
    n.clearTimer(id);
}
global.setTimeout = function (callback, delay) { return schedule(callback, delay, Array.prototype.slice.call(arguments, 2), false); };
global.setInterval = function (callback, delay) { return schedule(callback, delay, Array.prototype.slice.call(arguments, 2), true); };
global.clearTimeout = global.clearInterval = clearTimer;
global.addEventListener = addEventListener;
global.removeEventListener = removeEventListener;
var document = wrap(0);
Object.defineProperty(global, 'document', {value: document, enumerable: true});
accessor(global, 'location', function () { return location; }, function (v) { n.navigate(String(v)); });
expose(0);

var hooks = {
    click: function (id) {
        if (dispatch(pathFrom(id), 'click')) followLink(id);
    },
    timer: function (id) {
        var timer = timers[id];
        if (!timer) return;
        if (timer.repeat) n.setTimer(id, timer.repeat);
        else delete timers[id];
        try { timer.callback.apply(global, timer.args); } catch (x) { report(x); }
    },
    loaded: function () {
        dispatch([document, global], 'DOMContentLoaded');
        dispatch([global], 'load');
    }
};
return hooks;
}))JS";

DomScript* BindingOf(duk_context* ctx) {
    duk_push_this(ctx);
    duk_get_prop_string(ctx, -1, kBindingKey);
    auto* binding = static_cast<DomScript*>(duk_get_pointer(ctx, -1));
    duk_pop_2(ctx);
    return binding;
}

void PushText(duk_context* ctx, const std::wstring& text) {
    const std::string cesu = WideToCesu8(text);
    duk_push_lstring(ctx, cesu.data(), cesu.size());
}

std::wstring TextArg(duk_context* ctx, duk_idx_t index) {
    duk_size_t size = 0;
    const char* data = duk_safe_to_lstring(ctx, index, &size);
    return Cesu8ToWide(data, size);
}

Node* NodeArg(duk_context* ctx, DomScript& dom, duk_idx_t index) {
    if (!duk_is_number(ctx, index)) return nullptr;
    const double id = duk_get_number(ctx, index);
    if (id < 0 || id >= static_cast<double>(dom.Doc().NodeCount())) return nullptr;
    return dom.Doc().Get(static_cast<uint32_t>(id));
}

void PushId(duk_context* ctx, const Node* node) {
    if (node) duk_push_uint(ctx, node->id);
    else duk_push_null(ctx);
}

void PushIds(duk_context* ctx, const std::vector<const Node*>& nodes) {
    duk_push_array(ctx);
    for (size_t i = 0; i < nodes.size(); ++i) {
        duk_push_uint(ctx, nodes[i]->id);
        duk_put_prop_index(ctx, -2, static_cast<duk_uarridx_t>(i));
    }
}

// The elements below `root` in document order that `keep` accepts; `one` stops at the first.
template <class Keep>
std::vector<const Node*> Find(const Node* root, bool one, Keep keep) {
    std::vector<const Node*> out;
    for (const Node* n = root->first; n; n = NextInTree(n, root)) {
        if (n->IsElement() && keep(*n)) {
            out.push_back(n);
            if (one) break;
        }
    }
    return out;
}

bool Connected(const Document& document, const Node* node) {
    while (node->parent) node = node->parent;
    return node == document.Root();
}

// Every native: the binding first; a document that is gone answers undefined.
// A C++ failure becomes a script error once the body's objects are gone.
#define KV_DOM_NATIVE(name)                                   \
    duk_ret_t name##Body(duk_context* ctx, DomScript& dom);   \
    duk_ret_t name(duk_context* ctx) {                         \
        DomScript* dom = BindingOf(ctx);                       \
        if (!dom) return 0;                                    \
        try {                                                  \
            return name##Body(ctx, *dom);                      \
        } catch (...) {                                        \
            return DUK_RET_ERROR;                              \
        }                                                      \
    }                                                          \
    duk_ret_t name##Body([[maybe_unused]] duk_context* ctx, [[maybe_unused]] DomScript& dom)

KV_DOM_NATIVE(Kind) {
    const Node* node = NodeArg(ctx, dom, 0);
    duk_push_int(ctx, node ? static_cast<int>(node->kind) : -1);
    return 1;
}

KV_DOM_NATIVE(Relative) {
    const Node* node = NodeArg(ctx, dom, 0);
    if (!node) return 0;
    const Node* related[] = {node->first, node->last, node->next, node->prev, node->parent};
    const int which = duk_get_int(ctx, 1);
    PushId(ctx, which >= 0 && which < 5 ? related[which] : nullptr);
    return 1;
}

KV_DOM_NATIVE(Children) {
    const Node* node = NodeArg(ctx, dom, 0);
    if (!node) return 0;
    const bool elements = duk_get_boolean(ctx, 1) != 0;
    std::vector<const Node*> out;
    for (const Node* c = node->first; c; c = c->next) {
        if (!elements || c->IsElement()) out.push_back(c);
    }
    PushIds(ctx, out);
    return 1;
}

KV_DOM_NATIVE(Text) {
    const Node* node = NodeArg(ctx, dom, 0);
    if (!node) return 0;
    PushText(ctx, TextContent(node));
    return 1;
}

KV_DOM_NATIVE(SetText) {
    Node* node = NodeArg(ctx, dom, 0);
    if (!node || node->kind == Node::Kind::Document) return 0;
    std::wstring text = TextArg(ctx, 1);
    if (node->kind == Node::Kind::Text) {
        node->text = std::move(text);
        dom.Doc().Touch();
        return 0;
    }
    dom.Doc().RemoveChildren(node);
    if (!text.empty()) dom.Doc().Append(node, dom.Doc().CreateText(std::move(text)));
    return 0;
}

KV_DOM_NATIVE(Tag) {
    const Node* node = NodeArg(ctx, dom, 0);
    if (!node) return 0;
    PushText(ctx, node->name);
    return 1;
}

KV_DOM_NATIVE(Attribute) {
    const Node* node = NodeArg(ctx, dom, 0);
    const std::wstring* value = node ? node->FindAttribute(TextArg(ctx, 1)) : nullptr;
    if (value) PushText(ctx, *value);
    else duk_push_null(ctx);
    return 1;
}

KV_DOM_NATIVE(SetAttribute) {
    Node* node = NodeArg(ctx, dom, 0);
    if (!node || !node->IsElement()) return 0;
    node->SetAttribute(TextArg(ctx, 1), TextArg(ctx, 2));
    dom.Doc().Touch();
    return 0;
}

KV_DOM_NATIVE(RemoveAttribute) {
    Node* node = NodeArg(ctx, dom, 0);
    if (!node) return 0;
    node->RemoveAttribute(TextArg(ctx, 1));
    dom.Doc().Touch();
    return 0;
}

KV_DOM_NATIVE(Html) {
    const Node* node = NodeArg(ctx, dom, 0);
    if (!node) return 0;
    PushText(ctx, InnerHtml(node));
    return 1;
}

KV_DOM_NATIVE(SetHtml) {
    Node* node = NodeArg(ctx, dom, 0);
    if (!node || !node->IsElement()) return 0;
    dom.Doc().RemoveChildren(node);
    ParseFragment(dom.Doc(), node, TextArg(ctx, 1));
    return 0;
}

KV_DOM_NATIVE(Insert) {
    Node* parent = NodeArg(ctx, dom, 0);
    Node* child = NodeArg(ctx, dom, 1);
    Node* reference = duk_get_number(ctx, 2) < 0 ? nullptr : NodeArg(ctx, dom, 2);
    const bool badReference = !reference && duk_get_number(ctx, 2) >= 0;
    duk_push_boolean(ctx, !badReference && dom.Doc().InsertBefore(parent, child, reference));
    return 1;
}

KV_DOM_NATIVE(Remove) {
    duk_push_boolean(ctx, dom.Doc().Remove(NodeArg(ctx, dom, 0), NodeArg(ctx, dom, 1)));
    return 1;
}

KV_DOM_NATIVE(Connected) {
    const Node* node = NodeArg(ctx, dom, 0);
    duk_push_boolean(ctx, node && Connected(dom.Doc(), node));
    return 1;
}

KV_DOM_NATIVE(ById) {
    PushId(ctx, dom.Doc().ElementById(TextArg(ctx, 0)));
    return 1;
}

KV_DOM_NATIVE(ByTag) {
    const Node* root = NodeArg(ctx, dom, 0);
    if (!root) return 0;
    const std::wstring tag = TextArg(ctx, 1);
    PushIds(ctx, Find(root, false, [&](const Node& e) { return tag == L"*" || e.name == tag; }));
    return 1;
}

KV_DOM_NATIVE(Query) {
    const Node* root = NodeArg(ctx, dom, 0);
    if (!root) return 0;
    Selector selector;
    if (!selector.Parse(TextArg(ctx, 1))) {
        duk_push_null(ctx);
        return 1;
    }
    const bool all = duk_get_boolean(ctx, 2) != 0;
    PushIds(ctx, Find(root, !all, [&](const Node& e) { return selector.Matches(e); }));
    return 1;
}

KV_DOM_NATIVE(Ids) {
    const Node* root = NodeArg(ctx, dom, 0);
    if (!root) return 0;
    duk_push_array(ctx);
    duk_uarridx_t index = 0;
    auto put = [&](const Node& e) {
        const std::wstring* id = e.FindAttribute(L"id");
        if (!id || id->empty()) return;
        PushText(ctx, *id);
        duk_put_prop_index(ctx, -2, index++);
    };
    if (root->IsElement()) put(*root);
    for (const Node* n = root->first; n; n = NextInTree(n, root)) {
        if (n->IsElement()) put(*n);
    }
    return 1;
}

KV_DOM_NATIVE(Create) {
    std::wstring tag = TextArg(ctx, 0);
    if (tag.empty()) return DUK_RET_ERROR;  // an element needs a name
    PushId(ctx, dom.Doc().CreateElement(std::move(tag)));
    return 1;
}

KV_DOM_NATIVE(CreateText) {
    PushId(ctx, dom.Doc().CreateText(TextArg(ctx, 0)));
    return 1;
}

KV_DOM_NATIVE(Body) {
    const int which = duk_get_int(ctx, 0);
    PushId(ctx, which == 0 ? dom.Doc().Body() : which == 1 ? dom.Doc().Head() : dom.Doc().DocumentElement());
    return 1;
}

KV_DOM_NATIVE(Title) {
    PushText(ctx, dom.Doc().Title());
    return 1;
}

KV_DOM_NATIVE(SetTitle) {
    dom.Doc().SetTitle(TextArg(ctx, 0));
    return 0;
}

KV_DOM_NATIVE(GetStyle) {
    const Node* node = NodeArg(ctx, dom, 0);
    if (!node) return 0;
    const std::wstring property = TextArg(ctx, 1);
    std::wstring value;
    for (const Declaration& d : ParseDeclarations(node->Attribute(L"style"))) {
        if (d.property == property) value = d.value;
    }
    PushText(ctx, value);
    return 1;
}

KV_DOM_NATIVE(SetStyle) {
    Node* node = NodeArg(ctx, dom, 0);
    if (!node || !node->IsElement()) return 0;
    const std::wstring property = TextArg(ctx, 1);
    const std::wstring value = TextArg(ctx, 2);
    std::vector<Declaration> declarations = ParseDeclarations(node->Attribute(L"style"));
    auto same = std::find_if(declarations.begin(), declarations.end(),
                             [&](const Declaration& d) { return d.property == property; });
    if (value.empty()) {
        if (same != declarations.end()) declarations.erase(same);
    } else if (same != declarations.end()) {
        same->value = value;
    } else {
        declarations.push_back({property, value});
    }
    if (declarations.empty()) node->RemoveAttribute(L"style");
    else node->SetAttribute(L"style", SerializeDeclarations(declarations));
    dom.Doc().Touch();
    return 0;
}

KV_DOM_NATIVE(Clickable) {
    if (Node* node = NodeArg(ctx, dom, 0)) {
        node->clickable = true;
        dom.Doc().Touch();
    }
    return 0;
}

KV_DOM_NATIVE(SetTimer) {
    const double id = duk_get_number(ctx, 0);
    const double delay = std::clamp(duk_get_number(ctx, 1), 0.0, 2147483647.0);
    if (dom.HostOf().setTimer && id >= 1) dom.HostOf().setTimer(static_cast<uint32_t>(id), static_cast<int>(delay));
    return 0;
}

KV_DOM_NATIVE(ClearTimer) {
    const double id = duk_get_number(ctx, 0);
    if (dom.HostOf().clearTimer && id >= 1) dom.HostOf().clearTimer(static_cast<uint32_t>(id));
    return 0;
}

KV_DOM_NATIVE(Url) {
    PushText(ctx, dom.HostOf().url ? dom.HostOf().url() : std::wstring());
    return 1;
}

KV_DOM_NATIVE(Navigate) {
    if (dom.HostOf().navigate) dom.HostOf().navigate(TextArg(ctx, 0));
    return 0;
}

KV_DOM_NATIVE(Reload) {
    if (dom.HostOf().reload) dom.HostOf().reload();
    return 0;
}

KV_DOM_NATIVE(Error) {
    const std::string message = kvwin::WideToUtf8(TextArg(ctx, 0));
    const int line = duk_get_int(ctx, 1);
    std::wstring file = TextArg(ctx, 2);
    if (file.empty() && dom.HostOf().url) file = dom.HostOf().url();
    KV_LOG(LOGSEVERITY_ERROR) << "CONSOLE(" << line << ") \"Uncaught " << message << "\", source: " << kvwin::LoggedAddress(kvwin::WideToUtf8(file))
                              << " (" << line << ")";
    return 0;
}

#undef KV_DOM_NATIVE

struct NativeEntry {
    const char* name;
    duk_c_function function;
    duk_idx_t arguments;
};

const NativeEntry kNatives[] = {
    {"kind", Kind, 1},           {"rel", Relative, 2},         {"children", Children, 2},
    {"text", Text, 1},           {"setText", SetText, 2},      {"tag", Tag, 1},
    {"attr", Attribute, 2},      {"setAttr", SetAttribute, 3}, {"removeAttr", RemoveAttribute, 2},
    {"html", Html, 1},           {"setHtml", SetHtml, 2},      {"insert", Insert, 3},
    {"remove", Remove, 2},       {"connected", Connected, 1},  {"byId", ById, 1},
    {"byTag", ByTag, 2},         {"query", Query, 3},          {"ids", Ids, 1},
    {"create", Create, 1},       {"createText", CreateText, 1}, {"body", Body, 1},
    {"title", Title, 0},         {"setTitle", SetTitle, 1},    {"getStyle", GetStyle, 2},
    {"setStyle", SetStyle, 3},   {"clickable", Clickable, 1},  {"setTimer", SetTimer, 2},
    {"clearTimer", ClearTimer, 1}, {"url", Url, 0},            {"navigate", Navigate, 1},
    {"reload", Reload, 0},       {"error", Error, 3},
};

// [binding pointer] -> runs the prelude with the natives; leaves nothing.
duk_ret_t Install(duk_context* ctx, void* binding) {
    duk_push_global_object(ctx);
    duk_push_string(ctx, "kvdom:prelude");
    duk_compile_lstring_filename(ctx, DUK_COMPILE_EVAL, kPrelude, sizeof kPrelude - 1);
    duk_call(ctx, 0);  // the prelude's function
    duk_push_object(ctx);
    duk_push_pointer(ctx, binding);
    duk_put_prop_string(ctx, -2, kBindingKey);
    for (const NativeEntry& entry : kNatives) {
        duk_push_c_function(ctx, entry.function, entry.arguments);
        duk_put_prop_string(ctx, -2, entry.name);
    }
    duk_dup(ctx, -1);
    duk_put_prop_string(ctx, -4, kNativesKey);
    duk_dup(ctx, -3);
    duk_call(ctx, 2);  // hooks
    duk_put_prop_string(ctx, -2, kHooksKey);
    duk_pop(ctx);
    return 0;
}

// Clears the pointer every native reads: closures the page still holds find no document.
duk_ret_t Detach(duk_context* ctx, void*) {
    duk_push_global_object(ctx);
    duk_del_prop_string(ctx, -1, kHooksKey);
    duk_get_prop_string(ctx, -1, kNativesKey);
    if (duk_is_object(ctx, -1)) {
        duk_push_pointer(ctx, nullptr);
        duk_put_prop_string(ctx, -2, kBindingKey);
    }
    duk_pop_2(ctx);
    return 0;
}

}  // namespace

DomScript::DomScript(ScriptContext& context, Document& document, Host host)
    : m_context(context), m_document(document), m_host(std::move(host)) {
    if (!m_context.IsValid()) return;
    duk_context* t = m_context.Thread();
    ContextScope scope(&m_context);
    if (duk_safe_call(t, Install, this, 0, 1) != DUK_EXEC_SUCCESS) ReportScriptError(t, L"kvdom:prelude");
    duk_pop(t);
}

DomScript::~DomScript() {
    if (!m_context.IsValid()) return;
    duk_context* t = m_context.Thread();
    ContextScope scope(&m_context);
    duk_safe_call(t, Detach, nullptr, 0, 1);
    duk_pop(t);
}

void DomScript::CallHook(const char* name, double argument) {
    if (!m_context.IsValid()) return;
    duk_context* t = m_context.Thread();
    ContextScope scope(&m_context);
    duk_push_global_object(t);
    duk_get_prop_string(t, -1, kHooksKey);
    if (!duk_is_object(t, -1)) {
        duk_pop_2(t);
        return;
    }
    duk_get_prop_string(t, -1, name);
    duk_dup(t, -2);
    duk_push_number(t, argument);
    if (duk_pcall_method(t, 1) != DUK_EXEC_SUCCESS) ReportScriptError(t, m_host.url ? m_host.url() : std::wstring());
    duk_pop_3(t);
}

void DomScript::Loaded() { CallHook("loaded", 0); }

void DomScript::Click(const Node* target) { CallHook("click", target ? target->id : 0); }

void DomScript::FireTimer(uint32_t id) { CallHook("timer", id); }

}  // namespace kvengine

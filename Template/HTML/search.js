// The search box of every page: matches item names from search_data.js as
// the reader types. Plain script without modules or fetch, so it runs from
// the file system and in the HTML Help viewer. The names are loaded when the
// box is first used, not with every page: a large project has many.
(function () {
  var input = document.getElementById("korvex-search");
  var results = document.getElementById("korvex-results");
  var items = null;
  var loading = false;
  var limit = 50;
  var selected = -1;
  if (!input || !results) return;

  function load() {
    if (loading) return;
    loading = true;
    var script = document.createElement("script");
    script.src = "search_data.js";
    script.onload = script.onreadystatechange = function () {
      if (script.readyState && script.readyState !== "loaded" && script.readyState !== "complete")
        return;
      script.onload = script.onreadystatechange = null;
      items = window.korvexSearchItems || [];
      show();
    };
    document.getElementsByTagName("head")[0].appendChild(script);
  }

  function text(tag, className, content) {
    var element = document.createElement(tag);
    if (className) element.className = className;
    element.appendChild(document.createTextNode(content));
    return element;
  }

  // Names that start with the query come first, then names containing it.
  function find(query) {
    var starts = [], contains = [];
    query = query.toLowerCase();
    for (var i = 0; i < items.length; i++) {
      var at = items[i][0].toLowerCase().indexOf(query);
      if (at === 0) starts.push(items[i]);
      else if (at > 0) contains.push(items[i]);
    }
    return starts.concat(contains);
  }

  function links() { return results.getElementsByTagName("a"); }

  function select(index) {
    var all = links();
    if (selected >= 0 && selected < all.length) all[selected].className = "";
    selected = index;
    if (selected >= 0 && selected < all.length) all[selected].className = "selected";
  }

  function show() {
    var query = input.value.replace(/^\s+|\s+$/g, "");
    while (results.firstChild) results.removeChild(results.firstChild);
    selected = -1;
    if (query === "") {
      results.style.display = "none";
      return;
    }
    if (items === null) {
      load();
      return;
    }
    var found = find(query);
    for (var i = 0; i < found.length && i < limit; i++) {
      var link = document.createElement("a");
      link.href = found[i][2];
      link.appendChild(document.createTextNode(found[i][0] + " "));
      if (found[i][1]) link.appendChild(text("span", "context", found[i][1]));
      results.appendChild(link);
    }
    if (found.length === 0) results.appendChild(text("div", "none", "No matching items"));
    if (found.length > limit) {
      results.appendChild(text("div", "none", (found.length - limit) + " more; type more letters"));
    }
    results.style.display = "block";
  }

  input.onkeyup = function (event) {
    var key = (event || window.event).keyCode;
    var all = links();
    if (key === 40) select(Math.min(selected + 1, all.length - 1));
    else if (key === 38) select(Math.max(selected - 1, 0));
    else if (key === 13) {
      if (all.length > 0) window.location.href = all[selected >= 0 ? selected : 0].href;
    } else if (key === 27) {
      input.value = "";
      show();
    } else show();
  };
  input.onfocus = show;
  document.onclick = function (event) {
    var target = (event || window.event).target || window.event.srcElement;
    if (target !== input) results.style.display = "none";
  };
})();

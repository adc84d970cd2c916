;;; oxel-mode.el --- Major mode for Oxel programs  -*- lexical-binding: t -*-

;; Copyright (c) oxelc maintainers
;; SPDX-License-Identifier: MIT
;; Version: 0.2.3
;; Keywords: languages
;; Package-Requires: ((emacs "26.1"))

;;; Commentary:

;; Oxel programs (.ox) and headers (.oxh): highlighting of statement words,
;; comments and strings, indentation by four spaces, and oxel-lsp, the Oxel
;; language server, registered with Eglot (M-x eglot in an Oxel buffer).
;;
;;   (add-to-list 'load-path "/usr/share/emacs/site-lisp/oxelc")
;;   (require 'oxel-mode)
;;
;; Oxel knows a statement by how its line begins, after the indentation, so
;; the patterns below are anchored there; the first that matches a stretch
;; of text colours it, in the order the TextMate grammar of editors/textmate
;; tries its rules.  A comment is a line that starts with the word cmt, or
;; cmt after a blank outside a string; strings end at their line's end.

;;; Code:

(require 'cl-lib)

(defgroup oxel nil
  "Oxel programs."
  :group 'languages
  :prefix "oxel-")

(defcustom oxel-indent-offset 4
  "Columns per block level; the compiler reads a tab or four spaces as one."
  :type 'integer
  :safe #'integerp)

(defcustom oxel-lsp-program "oxel-lsp"
  "The language server Eglot starts: a name on `exec-path', or a path."
  :type 'string)

(defconst oxel-mode--line-end
  "\\(?:[ \t]*$\\|[ \t]+cmt\\(?:[ \t]\\|$\\)\\)"
  "The end of a statement: the line's end, or an inline comment.")

(defconst oxel-mode--block-start
  "^[ \t]*\\(?:if[ \t].*\\|els[ \t]*\\|lo[0-9].*\\|oxelfn.*\\)$"
  "A line whose block follows it, one level deeper.")

(defun oxel-mode--inline-comment (limit)
  "Find the next cmt after a blank, outside a string, before LIMIT."
  (let (found)
    (while (and (not found)
                (re-search-forward "[ \t]\\(cmt\\)\\(?:[ \t].*\\)?$" limit t))
      (let ((start (match-beginning 1)))
        ;; an odd number of quotes before it on the line: inside a string
        (if (cl-evenp (cl-count ?\" (buffer-substring (line-beginning-position)
                                                       start)))
            (setq found t)
          (goto-char (1+ start)))))
    found))

(defconst oxel-mode--font-lock-keywords
  (let ((at "^[ \t]*"))
    `(;; comments: the whole line, or from cmt after a blank
      (,(concat at "cmt\\(?:[ \t].*\\)?$") . font-lock-comment-face)
      (oxel-mode--inline-comment (0 font-lock-comment-face t))
      ;; marker lines, and lines that take in a header
      (,(concat at "\\(ox\\.init\\|branch\\|oxel\\)" oxel-mode--line-end)
       1 font-lock-preprocessor-face)
      (,(concat at "\\([^\n]*?\\.oxh\\)" oxel-mode--line-end) 1 font-lock-preprocessor-face)
      ;; definitions, at the left margin
      ("^\\(oxelfn\\)[ \t]*\\([A-Za-z_][A-Za-z0-9_]*\\)?"
       (1 font-lock-keyword-face) (2 font-lock-function-name-face nil t))
      (,(concat at "\\(rtn\\)\\(?:[ \t]\\|$\\)") 1 font-lock-keyword-face)
      (,(concat at "\\(els\\)" oxel-mode--line-end) 1 font-lock-keyword-face)
      (,(concat at "\\(if\\)[ \t]") 1 font-lock-keyword-face)
      (,(concat at "\\(lo\\)[0-9]+\\(?:[ \t]*\\(w\\)\\(?:[ \t]\\|$\\)\\)?")
       (1 font-lock-keyword-face) (2 font-lock-keyword-face nil t))
      ;; lo not followed by its count is no loop
      (,(concat at "\\(lo\\(?:[^0-9\n][^\n]*?\\)?\\)" oxel-mode--line-end)
       1 font-lock-warning-face)
      ;; echow and pout need no blank after them, the others do
      (,(concat at "\\(?:" (regexp-opt '("echow" "pout") t)
                "\\|" (regexp-opt '("echo" "set" "fopen" "fwrite" "fclose") t) "\\(?:[ \t]\\|$\\)\\)")
       (1 font-lock-keyword-face nil t) (2 font-lock-keyword-face nil t))
      ;; and so do in (input) and vga
      (,(concat at "\\(in\\|vga\\)") 1 font-lock-keyword-face)
      ("\"[^\"\n]*\"" . font-lock-string-face)))
  "Highlighting of Oxel, first match first.")

(defun oxel-mode--indentation ()
  "The column the current line belongs at, judged from the line above it."
  (save-excursion
    (beginning-of-line)
    (let ((else (looking-at-p (concat "[ \t]*els" oxel-mode--line-end)))
          (column 0))
      (when (re-search-backward "^[ \t]*[^ \t\n]" nil t)
        (setq column (current-indentation))
        (when (looking-at-p oxel-mode--block-start)
          (setq column (+ column oxel-indent-offset))))
      ;; els closes the block above it
      (when else
        (setq column (- column oxel-indent-offset)))
      (max 0 column))))

(defun oxel-indent-line ()
  "Indent the current line as the line above, or one level under a block's start."
  (interactive)
  (let ((column (oxel-mode--indentation))
        (offset (- (current-column) (current-indentation))))
    (indent-line-to column)
    (when (> offset 0)
      (forward-char offset))))

;;;###autoload
(define-derived-mode oxel-mode prog-mode "Oxel"
  "Major mode for Oxel programs and headers."
  (setq-local font-lock-defaults '(oxel-mode--font-lock-keywords t))
  (setq-local comment-start "cmt ")
  (setq-local comment-start-skip "\\(?:^\\|[ \t]\\)cmt[ \t]*")
  (setq-local comment-end "")
  (setq-local indent-line-function #'oxel-indent-line)
  (setq-local indent-tabs-mode nil)
  (setq-local tab-width oxel-indent-offset)
  (setq-local electric-indent-inhibit t))

;;;###autoload
(add-to-list 'auto-mode-alist '("\\.oxh?\\'" . oxel-mode))

(defun oxel-mode--eglot-contact (&optional _interactive)
  "How Eglot runs the server: `oxel-lsp-program', over its standard streams."
  (list oxel-lsp-program))

;;;###autoload
(with-eval-after-load 'eglot
  (defvar eglot-server-programs)
  (add-to-list 'eglot-server-programs '(oxel-mode . oxel-mode--eglot-contact)))

(provide 'oxel-mode)
;;; oxel-mode.el ends here

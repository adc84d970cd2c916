;;; oxel-mode-test.el --- Checks oxel-mode  -*- lexical-binding: t -*-

;; Run in batch, with the TextMate grammar's annotated samples:
;;   emacs -Q --batch -l editors/emacs/oxel-mode.el -l editors/emacs/test/oxel-mode-test.el \
;;         -f oxel-test-run SCRATCH SAMPLE...
;; Every asserted TextMate scope with an Emacs counterpart must show in that
;; face at the same columns, and no other asserted column may show a keyword
;; face; then the statement words' near misses, file names, indentation and
;; the Eglot registration are checked.  Exits with status 1 and lists the differences when any differ.

;;; Code:

(require 'cl-lib)

(defconst oxel-test--faces
  '(("comment.line.oxel" . font-lock-comment-face)
    ("keyword.other.marker.oxel" . font-lock-preprocessor-face)
    ("string.unquoted.include.oxel" . font-lock-preprocessor-face)
    ("storage.type.function.oxel" . font-lock-keyword-face)
    ("entity.name.function.oxel" . font-lock-function-name-face)
    ("keyword.control.return.oxel" . font-lock-keyword-face)
    ("keyword.control.conditional.if.oxel" . font-lock-keyword-face)
    ("keyword.control.conditional.else.oxel" . font-lock-keyword-face)
    ("keyword.control.loop.oxel" . font-lock-keyword-face)
    ("keyword.control.loop.while.oxel" . font-lock-keyword-face)
    ("invalid.illegal.bad-loop.oxel" . font-lock-warning-face)
    ("keyword.other.statement.oxel" . font-lock-keyword-face)
    ("keyword.other.statement.input.oxel" . font-lock-keyword-face)
    ("string.quoted.double.oxel" . font-lock-string-face))
  "TextMate scope -> the face oxel-mode gives the same text.")

(defvar oxel-test--errors nil)
(defvar oxel-test--checked 0)

(defun oxel-test--fail (format &rest args)
  (push (apply #'format format args) oxel-test--errors))

(defun oxel-test--faces-of (pos)
  (let ((face (get-text-property pos 'face)))
    (if (listp face) face (list face))))

(defun oxel-test--sample (file)
  "Check the faces of FILE against its annotations."
  (with-temp-buffer
    (insert-file-contents file)
    (setq buffer-file-name file)
    (oxel-mode)
    (font-lock-ensure)
    (let ((source 0) (line 0))
      (goto-char (point-min))
      (while (not (eobp))
        (setq line (1+ line))
        (let ((text (buffer-substring (point) (line-end-position))))
          (if (not (string-match "^cmt\\( *\\)\\(\\^+\\|<~*-+\\)[ \t]+\\([^ ]+\\)" text))
              (setq source (line-beginning-position))
            (let* ((pad (match-string 1 text)) (mark (match-string 2 text))
                   (scope (match-string 3 text)) (want (cdr (assoc scope oxel-test--faces)))
                   first count)
              (if (eq (aref mark 0) ?^)
                  (setq first (+ 3 (length pad)) count (length mark))
                (let ((skip (- (length (car (split-string mark "-"))) 1)))
                  (setq first skip count (- (length mark) 1 skip))))
              (unless (= line 1)
                (dotimes (i (max 0 (min count (- (save-excursion (goto-char source) (line-end-position))
                                                  source first))))
                  (let ((faces (oxel-test--faces-of (+ source first i))))
                    (setq oxel-test--checked (1+ oxel-test--checked))
                    (cond
                     ((and want (not (memq want faces)))
                      (oxel-test--fail "%s:%d:%d: %s wants %s, Emacs has %s" file
                                       (line-number-at-pos source) (+ first i 1) scope want faces))
                     ((and (not want) (cl-intersection faces '(font-lock-keyword-face font-lock-comment-face)))
                      (oxel-test--fail "%s:%d:%d: %s is not %s" file
                                       (line-number-at-pos source) (+ first i 1) scope faces)))))))))
        (forward-line 1)))))

(defconst oxel-test--words
  ;; a line, the first and last column of a word in it, its face (nil: none)
  '(("echowhat" 1 5 font-lock-keyword-face)
    ("echox5" 1 5 nil)
    ("echo" 1 4 font-lock-keyword-face)
    ("settle5" 1 3 nil)
    ("set a, 0, 1" 1 3 font-lock-keyword-face)
    ("poutx" 1 4 font-lock-keyword-face)
    ("rtnx5" 1 3 nil)
    ("elsewhere5" 1 3 nil)
    ("els cmt otherwise" 1 3 font-lock-keyword-face)
    ("iffy5" 1 2 nil)
    ("index5" 1 2 font-lock-keyword-face)
    ("lo5 wx" 5 5 nil)
    ("lo5 w x" 5 5 font-lock-keyword-face)
    ("    oxelfn f" 5 10 nil)
    ("x5 cmtx" 4 7 nil)
    ("x5\tcmt" 4 6 font-lock-comment-face)
    ("s\"a cmt b\"" 5 7 font-lock-string-face))
  "Statement words and their near misses, outside the annotated samples.")

(defun oxel-test--words ()
  (dolist (case oxel-test--words)
    (with-temp-buffer
      (insert (nth 0 case))
      (oxel-mode)
      (font-lock-ensure)
      (let ((want (nth 3 case)))
        (dolist (pos (number-sequence (nth 1 case) (nth 2 case)))
          (let ((faces (oxel-test--faces-of pos)))
            (unless (if want
                        (memq want faces)
                      (not (cl-intersection faces '(font-lock-keyword-face font-lock-comment-face))))
              (oxel-test--fail "%S column %d: %s, wanted %s" (nth 0 case) pos faces want))))))))

(defun oxel-test--modes (scratch)
  "Files that are Oxel, and near misses that are not."
  (dolist (case '(("a.ox" . t) ("lib.oxh" . t) ("a.oxo" . nil) ("box" . nil) ("a.ox.txt" . nil)))
    (let ((file (expand-file-name (car case) scratch)))
      (with-current-buffer (find-file-noselect file)
        (unless (eq (eq major-mode 'oxel-mode) (cdr case))
          (oxel-test--fail "%s opens in %s" (car case) major-mode))
        (kill-buffer)))))

(defconst oxel-test--indentation
  ;; the lines above, the new line, its column
  '(("if x > 1" "echo x" 4)
    ("if x > 1 cmt when big" "echo x" 4)
    ("lo3 w i < 2" "echo i" 4)
    ("oxelfn f.a" "rtn a" 4)
    ("if x > 1\n    echo x" "els" 0)
    ("els" "echo y" 4)
    ("if a\n    if b\n        echo" "    els" 4)
    ("    echo x" "echo y" 4)
    ("    echo x\n\n" "echo y" 4)
    ;; near misses: no block opens
    ("iffy5" "echo" 0)
    ("lox" "echo" 0)
    ("cmt if x > 1" "echo" 0)
    ("echo x cmt lo3" "echo" 0)
    ("    elsewhere5" "echo" 4)
    ("if x > 1\n    echo x" "elsewhere5" 4))
  "Where the indentation command puts a line.")

(defun oxel-test--indent ()
  (dolist (case oxel-test--indentation)
    (with-temp-buffer
      (oxel-mode)
      (insert (nth 0 case) "\n" (nth 1 case))
      (oxel-indent-line)
      (unless (= (current-indentation) (nth 2 case))
        (oxel-test--fail "indenting %S after %S: column %d, wanted %d"
                         (nth 1 case) (nth 0 case) (current-indentation) (nth 2 case))))))

(defun oxel-test--eglot ()
  "oxel-mode registers oxel-lsp with Eglot, as `oxel-lsp-program' says."
  (defvar eglot-server-programs)
  (setq eglot-server-programs '((python-mode . ("pylsp"))))
  (provide 'eglot)
  (let ((entry (assq 'oxel-mode eglot-server-programs)))
    (cond
     ((not entry) (oxel-test--fail "no Eglot entry for oxel-mode: %S" eglot-server-programs))
     ((not (equal (funcall (cdr entry) nil) '("oxel-lsp")))
      (oxel-test--fail "Eglot runs %S" (funcall (cdr entry) nil)))
     (t
      (let ((oxel-lsp-program "/opt/oxel/bin/oxel-lsp"))
        (unless (equal (funcall (cdr entry) t) '("/opt/oxel/bin/oxel-lsp"))
          (oxel-test--fail "Eglot ignores oxel-lsp-program: %S" (funcall (cdr entry) t)))))))
  (unless (assq 'python-mode eglot-server-programs)
    (oxel-test--fail "the other Eglot entries are lost")))

(defun oxel-test-run ()
  (let ((scratch (car command-line-args-left)))
    (make-directory scratch t)
    (dolist (file (cdr command-line-args-left))
      (oxel-test--sample file))
    (when (< oxel-test--checked 50)
      (oxel-test--fail "only %d columns checked" oxel-test--checked))
    (oxel-test--words)
    (oxel-test--modes scratch)
    (oxel-test--indent)
    (oxel-test--eglot)
    (with-temp-buffer
      (oxel-mode)
      (comment-region (progn (insert "x5") (point-min)) (point-max))
      (unless (equal (buffer-string) "cmt x5")
        (oxel-test--fail "commenting out gives %S" (buffer-string))))
    (if oxel-test--errors
        (progn (princ (mapconcat #'identity (nreverse oxel-test--errors) "\n"))
               (terpri)
               (kill-emacs 1))
      (princ (format "%d columns agree; modes, indentation, comments and Eglot as expected\n"
                     oxel-test--checked))
      (kill-emacs 0))))

;;; oxel-mode-test.el ends here
